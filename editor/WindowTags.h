#pragma once
// The tags of the controls of the about window, the preset manager and the settings window:
// what their value changes are dispatched on.

namespace vorlatek::editor::tag {

// About window.
inline constexpr int kAboutClose = 11000;
inline constexpr int kAboutSettings = 11002;

// Preset manager.
inline constexpr int kPresetManagerClose = 12000;
inline constexpr int kPresetLoadMenu = 12001;
inline constexpr int kPresetSaveMenu = 12002;
inline constexpr int kFirstPresetPage = 12003;  // 4 page buttons
inline constexpr int kPresetPrev = 12007;
inline constexpr int kPresetNext = 12008;
inline constexpr int kFirstPresetRadio = 12020;  // 32 radios, one per slot of the page
inline constexpr int kFirstPresetEdit = 12060;   // 32 name fields

// Settings window.
inline constexpr int kSettingsClose = 13000;
inline constexpr int kSettingsCancel = 13001;
inline constexpr int kSettingsOk = 13002;
inline constexpr int kFirstBankEdit = 13003;    // presets, simple patterns, extended patterns
inline constexpr int kFirstBankBrowse = 13007;  // in the same order
inline constexpr int kLoadCcMap = 13011;
inline constexpr int kSaveCcMap = 13012;
inline constexpr int kSyncByTransport = 13013;
inline constexpr int kSyncByLowestNote = 13014;
inline constexpr int kIntSeqOn = 13015;  // On and Off radios of the four sequencer defaults, in pairs
inline constexpr int kIntSeqOff = 13016;
inline constexpr int kIntSyncOn = 13017;
inline constexpr int kIntSyncOff = 13018;
inline constexpr int kHostModeOn = 13019;
inline constexpr int kHostModeOff = 13020;
inline constexpr int kNoteOffOn = 13021;
inline constexpr int kNoteOffOff = 13022;
inline constexpr int kMasterPresent = 13023;
inline constexpr int kMasterMono = 13024;
inline constexpr int kMasterStereo = 13025;
inline constexpr int kInstrumentsMono = 13026;
inline constexpr int kInstrumentsStereo = 13027;
inline constexpr int kAssignsSetCurrent = 13028;
inline constexpr int kAssignsReset = 13029;
inline constexpr int kTriggerPresent = 13030;
inline constexpr int kTriggerCowBell = 13031;
inline constexpr int kTriggerHandClap = 13032;
inline constexpr int kTriggerAccent = 13033;
inline constexpr int kFirstAssignLabel = 13040;  // 17, instrument order

}  // namespace vorlatek::editor::tag
