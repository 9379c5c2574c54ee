#pragma once
// The seventeen instruments in their fixed order, and the accent that louder steps use.
// The two-letter names are also XML element names and attribute values.

#include <array>
#include <string_view>

namespace vorlatek {

enum Instrument : int {
    kBassDrum = 0,
    kSnareDrum,
    kLowConga,
    kMidConga,
    kHighConga,
    kLowTom,
    kMidTom,
    kHighTom,
    kClaves,
    kRimShot,
    kMaracas,
    kHandClap,
    kCowBell,
    kLaserGun,
    kCymbal,
    kOpenHiHat,
    kClosedHiHat,
    kAccent,  // row 17 of a pattern; the trigger output can follow it
};

inline constexpr int kInstrumentCount = 17;
inline constexpr int kRowCount = 18;  // the instruments and the accent row

inline constexpr std::array<std::string_view, kRowCount> kInstrumentNames = {
    "BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS",
    "MA", "CP", "CB", "LG", "CY", "OH", "CH", "AC",
};

// The row of a two-letter name (exact, case-sensitive), or −1.
inline int instrumentFromName(std::string_view name) {
    for (int i = 0; i < kRowCount; ++i)
        if (kInstrumentNames[i] == name) return i;
    return -1;
}

}  // namespace vorlatek
