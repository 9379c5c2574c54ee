#pragma once
// Every parameter index of the plug-in, named once: 0..57 the sound of a preset, 58 the
// master volume, 59..75 mutes, 76..92 solos, 93..110 the random thresholds of the pattern
// rows. The engine handles 0..92; the sequencer reads the thresholds.

#include "engine/Instrument.h"

namespace vorlatek {

namespace param {
inline constexpr int kAccentLevel = 0;
inline constexpr int kBassDrumTone = 2, kBassDrumDecay = 3, kBassDrumSweep = 4;
inline constexpr int kSnareDrumTone = 6, kSnareDrumDecay = 7, kSnareDrumSnappy = 8;
inline constexpr int kLowCongaTuning = 10, kLowCongaDecay = 11;
inline constexpr int kMidCongaTuning = 13, kMidCongaDecay = 14;
inline constexpr int kHighCongaTuning = 16, kHighCongaDecay = 17;
inline constexpr int kLowTomTuning = 19, kLowTomDecay = 20, kLowTomSnappy = 21;
inline constexpr int kMidTomTuning = 23, kMidTomDecay = 24, kMidTomSnappy = 25;
inline constexpr int kHighTomTuning = 27, kHighTomDecay = 28, kHighTomSnappy = 29;
inline constexpr int kClavesTuning = 31, kClavesDecay = 32;
inline constexpr int kRimShotTuning = 34, kRimShotDecay = 35;
inline constexpr int kMaracasTone = 37;
inline constexpr int kHandClapTone = 39, kHandClapReverb = 40;
inline constexpr int kCowBellTuning = 42, kCowBellDecay = 43;
inline constexpr int kLaserGunDepth = 45, kLaserGunDecay = 46, kLaserGunSweep = 47;
inline constexpr int kCymbalTone = 49, kCymbalDecay = 50;
inline constexpr int kOpenHiHatTone = 52, kOpenHiHatDecay = 53;
inline constexpr int kClosedHiHatTone = 55, kClosedHiHatDecay = 56;
inline constexpr int kHiHatFiltersFrequency = 57;
inline constexpr int kMasterVolume = 58;
inline constexpr int kFirstMute = 59;
inline constexpr int kFirstSolo = 76;
inline constexpr int kLastEngineParameter = 92;
inline constexpr int kFirstRandomThreshold = 93;  // one per pattern row, accent row last
inline constexpr int kCount = 111;

// The sound of a preset: indices 0..57; everything from the master volume on is global.
inline constexpr int kPresetCount = kMasterVolume;
inline constexpr int kFirstGlobal = kMasterVolume;
inline constexpr int kGlobalCount = kCount - kFirstGlobal;
// "BD Level" .. "CH Level", in instrument order.
inline constexpr int kLevel[kInstrumentCount] = {1, 5, 9, 12, 15, 18, 22, 26, 30, 33, 36, 38, 41, 44, 48, 51, 54};
}  // namespace param

}  // namespace vorlatek
