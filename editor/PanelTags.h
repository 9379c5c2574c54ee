#pragma once
// The tags of the main panel's controls: what a value change is dispatched on. Tags 0..110
// are parameter indices; the editor's own functions start at 1000.

namespace vorlatek::editor::tag {

inline constexpr int kLastParameter = 110;

inline constexpr int kShuffle = 1000;
inline constexpr int kTempo = 1001;
inline constexpr int kFirstSelect = 1020;  // 18 select buttons in row order, accent last

inline constexpr int kWriteMode = 1050;
inline constexpr int kAutoFollow = 1051;
inline constexpr int kRandMode = 1052;
inline constexpr int kRandUndo = 1053;
inline constexpr int kPatternPrev = 1054;
inline constexpr int kPatternNext = 1055;
inline constexpr int kLastStep = 1056;
inline constexpr int kShiftLeft = 1058;
inline constexpr int kShiftRight = 1059;
inline constexpr int kCopy = 1060;
inline constexpr int kPaste = 1061;
inline constexpr int kClear = 1062;
inline constexpr int kPatternName = 1067;
inline constexpr int kVariationA = 1068;  // and B
inline constexpr int kPart1 = 1070;       // and 2
inline constexpr int kNameEditor = 1072;

inline constexpr int kFirstStep = 1100;      // 16 step buttons
inline constexpr int kFirstActivity = 1130;  // 18 activity lamps, accent last
inline constexpr int kFirstTempoDigit = 1150;  // tenths, units, tens, hundreds

inline constexpr int kAutoFillIn = 1200;
inline constexpr int kStart = 1201;
inline constexpr int kStop = 1202;
inline constexpr int kTap = 1203;
inline constexpr int kBasicVariation = 1204;
inline constexpr int kIntroFillInVariation = 1205;
inline constexpr int kFirstPrescale = 1206;  // 4 buttons
inline constexpr int kAbout = 1210;
inline constexpr int kInternalSequencer = 1211;
inline constexpr int kExternalSync = 1212;
inline constexpr int kFreeMode = 1213;
inline constexpr int kNoteOff = 1214;
inline constexpr int kMidiLearn = 1215;
inline constexpr int kLoadPatternMenu = 1216;
inline constexpr int kSavePatternMenu = 1217;
inline constexpr int kPrevPreset = 1218;
inline constexpr int kNextPreset = 1219;
inline constexpr int kBrowsePreset = 1220;
inline constexpr int kPresetName = 1221;
inline constexpr int kFirstOutputNumber = 1250;  // 17, instrument order

}  // namespace vorlatek::editor::tag
