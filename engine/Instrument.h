#pragma once
// The seventeen instruments in the engine's fixed order; kAccent stands for the accent row
// where an operation accepts it.

namespace vorlatek {

enum Instrument : int {
    kBassDrum, kSnareDrum, kLowConga, kMidConga, kHighConga, kLowTom, kMidTom, kHighTom, kClaves,
    kRimShot, kMaracas, kHandClap, kCowBell, kLaserGun, kCymbal, kOpenHiHat, kClosedHiHat, kAccent
};

inline constexpr int kInstrumentCount = 17;

}  // namespace vorlatek
