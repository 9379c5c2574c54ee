#pragma once
// The panel's colours, in one place. The scheme: a graphite body with ivory silkscreen,
// smoked-glass lamps, red LED displays behind wine-red glass, and one colour per instrument
// family on the name plates and knob caps. Windows are cream cards with a graphite title band.

#include "resources/art/Canvas.h"

namespace vorlatek::art::palette {

// Body and print.
inline constexpr Rgb kTopBar = hex(0x17181b);
inline constexpr Rgb kTopBarLow = hex(0x101113);
inline constexpr Rgb kDeck = hex(0x2a2d32);
inline constexpr Rgb kDeckLow = hex(0x212328);
inline constexpr Rgb kSeqDeck = hex(0x25272b);
inline constexpr Rgb kSeqDeckLow = hex(0x1c1d21);
inline constexpr Rgb kInset = hex(0x1d1f23);
inline constexpr Rgb kHairline = hex(0x454a52);
inline constexpr Rgb kEdgeLight = hex(0x50555e);
inline constexpr Rgb kEdgeDark = hex(0x0b0c0e);
inline constexpr Rgb kPrint = hex(0xe4dfd2);
inline constexpr Rgb kPrintDim = hex(0x9a9ea6);
inline constexpr Rgb kBrand = hex(0xff7a21);

// Controls.
inline constexpr Rgb kCap = hex(0x34373d);
inline constexpr Rgb kCapLow = hex(0x222428);
inline constexpr Rgb kCapIvory = hex(0xded8c8);
inline constexpr Rgb kCapIvoryLow = hex(0xb9b2a1);
inline constexpr Rgb kCapSand = hex(0xa8a294);
inline constexpr Rgb kCapSandLow = hex(0x857f72);
inline constexpr Rgb kKnob = hex(0x232529);
inline constexpr Rgb kKnobRim = hex(0x5a5f68);
inline constexpr Rgb kPointer = hex(0xf3eee2);

// Lamps: the lit colour of each kind of LED.
inline constexpr Rgb kLedRed = hex(0xff3b2a);
inline constexpr Rgb kLedAmber = hex(0xffb02a);
inline constexpr Rgb kLedGreen = hex(0x72f05a);
inline constexpr Rgb kLedBlue = hex(0x52c8ff);

// Displays: the glass behind the preset name is the text field's own colour, so the
// displays that sit beside it use it too.
inline constexpr Rgb kGlass = hex(0x780f1d);
inline constexpr Rgb kGlassDeep = hex(0x3c060e);
inline constexpr Rgb kSegmentOn = hex(0xff3324);
inline constexpr Rgb kSegmentOff = hex(0x8c1b28);

// Windows.
inline constexpr Rgb kCard = hex(0xece7da);
inline constexpr Rgb kCardLow = hex(0xdcd5c4);
inline constexpr Rgb kField = hex(0xfbf8f1);
inline constexpr Rgb kInk = hex(0x1d1e21);
inline constexpr Rgb kInkDim = hex(0x6c6a64);
inline constexpr Rgb kWindowButton = hex(0xf6f2e8);
inline constexpr Rgb kWindowButtonLow = hex(0xcfc8b7);

}  // namespace vorlatek::art::palette

namespace vorlatek::art::palette {

// Instrument families: the line on the name plates and select buttons, the knob centres.
inline constexpr Rgb kFamilyAccent = hex(0xe9e4d6);
inline constexpr Rgb kFamilyDrums = hex(0xf0583a);
inline constexpr Rgb kFamilyCongas = hex(0xf29b2f);
inline constexpr Rgb kFamilyToms = hex(0xe8c84a);
inline constexpr Rgb kFamilyPercussion = hex(0x5cc48e);
inline constexpr Rgb kFamilyLaser = hex(0xb47df0);
inline constexpr Rgb kFamilyMetal = hex(0x55ace6);

}  // namespace vorlatek::art::palette
