#include "resources/art/PanelText.h"

#include "resources/art/Palette.h"

#include <cstring>
#include <map>

namespace vorlatek::art {

using namespace palette;

const InstrumentText kInstrumentText[18] = {
    {"BD", "BASS", "DRUM", kFamilyDrums},
    {"SD", "SNARE", "DRUM", kFamilyDrums},
    {"LC", "LOW", "CONGA", kFamilyCongas},
    {"MC", "MID", "CONGA", kFamilyCongas},
    {"HC", "HIGH", "CONGA", kFamilyCongas},
    {"LT", "LOW", "TOM", kFamilyToms},
    {"MT", "MID", "TOM", kFamilyToms},
    {"HT", "HIGH", "TOM", kFamilyToms},
    {"CL", "CLAVES", "", kFamilyPercussion},
    {"RS", "RIM", "SHOT", kFamilyPercussion},
    {"MA", "MARACAS", "", kFamilyPercussion},
    {"CP", "HAND", "CLAP", kFamilyPercussion},
    {"CB", "COW", "BELL", kFamilyPercussion},
    {"LG", "LASER", "GUN", kFamilyLaser},
    {"CY", "CYMBAL", "", kFamilyMetal},
    {"OH", "OPEN", "HI-HAT", kFamilyMetal},
    {"CH", "CLOSED", "HI-HAT", kFamilyMetal},
    {"AC", "ACCENT", "", kFamilyAccent},
};

const InstrumentText* instrumentByCode(const std::string& code) {
    for (const InstrumentText& t : kInstrumentText)
        if (code == t.code) return &t;
    return nullptr;
}

std::string knobCaption(const std::string& parameterName) {
    static const std::map<std::string, std::string> captions = {
        {"Level", "LEVEL"}, {"Tone", "TONE"},   {"Decay", "DECAY"},   {"Sweep", "SWEEP"},
        {"Snappy", "SNAPPY"}, {"Tunning", "TUNING"}, {"Reverb", "REVERB"}, {"Depth", "DEPTH"},
    };
    if (parameterName == "HH Filters Freq") return "HH FILTER";
    const auto space = parameterName.find(' ');
    const auto it = captions.find(space == std::string::npos ? parameterName : parameterName.substr(space + 1));
    return it == captions.end() ? std::string() : it->second;
}

const Caption kPanelCaptions[] = {
    // Top bar.
    {"Internal Seq State", nullptr, "SEQ\nON", Place::Above},
    {"External Sync State", nullptr, "INT\nSYNC", Place::Above},
    {"Free Mode", nullptr, "HOST\nMODE", Place::Above},
    {"Note Off State", nullptr, "NOTE\nOFF", Place::Above},
    {"Midi Learn State", nullptr, "LEARN", Place::Above},
    {"Prev Preset", "Browse Preset", "PRESET", Place::Above},
    {"Master Volume", nullptr, "MASTER", Place::Above},
    {"About", nullptr, "INFO", Place::Above},
    // Sequencer.
    {"Shuffle", nullptr, "SHUFFLE", Place::Below},
    {"Tempo", nullptr, "TEMPO", Place::Below},
    {"Measures Auto Fill In", nullptr, "AUTO FILL-IN", Place::Below},
    {"Pattern Prescale 1", "Pattern Prescale 4", "STEPS PER BEAT", Place::Above},
    {"Pattern Prev", "Pattern Next", "PATTERN", Place::Below},
    {"Pattern Variation A", "Pattern Variation B", "VARIATION", Place::Below},
    {"Pattern Part 1", "Pattern Part 2", "PART", Place::Below},
    {"Basic Variation", nullptr, "BASIC", Place::Below},
    {"Intro FillIn Variation", nullptr, "FILL-IN", Place::Below},
    {"Pattern Write Mode", nullptr, "WRITE", Place::Below},
    {"Pattern Auto Follow", nullptr, "FOLLOW", Place::Below},
    {"Pattern Last Step", nullptr, "LAST STEP", Place::Below},
    {"Pattern Rand Mode", nullptr, "RANDOM", Place::Below},
    {"Pattern Rand Undo", nullptr, "UNDO", Place::Below},
    {"Pattern Shift Left", nullptr, "SHIFT", Place::Below},
    {"Pattern Shift Right", nullptr, "SHIFT", Place::Below},
    {"Pattern Copy", nullptr, "COPY", Place::Below},
    {"Pattern Paste", nullptr, "PASTE", Place::Below},
    {"Pattern Clear", nullptr, "CLEAR", Place::Below},
    {"Start", nullptr, "START", Place::Below},
    {"Stop", nullptr, "STOP", Place::Below},
};
const std::size_t kPanelCaptionCount = sizeof(kPanelCaptions) / sizeof(kPanelCaptions[0]);

const Caption kWindowCaptions[] = {
    // Settings: default banks.
    {"Window Settings Resources Edit Presets", nullptr, "PRESET BANK", Place::Margin},
    {"Window Settings Resources Edit Simple Patterns", nullptr, "SIMPLE PATTERNS", Place::Margin},
    {"Window Settings Resources Edit Extended Patterns", nullptr, "EXTENDED PATTERNS", Place::Margin},
    {"Window Settings Button Load MidiCC Map", nullptr, "MIDI CC MAP", Place::Margin},
    // Outputs.
    {"Window Settings Outputs Checkbox Master Present", nullptr, "MASTER OUTPUT", Place::Right},
    {"Window Settings Outputs Radio Instr Type Mono", nullptr, "INSTRUMENT OUTPUTS", Place::Margin},
    {"Window Settings Outputs Radio Instr Type Mono", nullptr, "MONO", Place::Right},
    {"Window Settings Outputs Radio Instr Type Stereo", nullptr, "STEREO", Place::Right},
    {"Window Settings Outputs Checkbox Trigger Present", nullptr, "TRIGGER OUTPUT", Place::Right},
    {"Window Settings Outputs Label Assigns 00", nullptr, "OUTPUT ASSIGNS", Place::Margin},
    // Sequencer defaults.
    {"Window Settings Int Seq Radio Sync With Host By Transport", nullptr, "START WITH", Place::Margin},
    {"Window Settings Int Seq Radio Sync With Host By Transport", nullptr, "TRANSPORT", Place::Right},
    {"Window Settings Int Seq Radio Sync With Host By Lowest Note", nullptr, "NOTE 0", Place::Right},
    {"Window Settings Int Seq Radio Int Seq State On", nullptr, "SEQUENCER", Place::Margin},
    {"Window Settings Int Seq Radio Int Sync State On", nullptr, "INTERNAL SYNC", Place::Margin},
    {"Window Settings Int Seq Radio Host Mode State On", nullptr, "HOST MODE", Place::Left},
    {"Window Settings Int Seq Radio Note Off State On", nullptr, "NOTE OFF", Place::Left},
    {"Window Settings Int Seq Radio Int Seq State On", nullptr, "ON", Place::Right},
    {"Window Settings Int Seq Radio Int Seq State Off", nullptr, "OFF", Place::Right},
    {"Window Settings Int Seq Radio Int Sync State On", nullptr, "ON", Place::Right},
    {"Window Settings Int Seq Radio Int Sync State Off", nullptr, "OFF", Place::Right},
    {"Window Settings Int Seq Radio Host Mode State On", nullptr, "ON", Place::Right},
    {"Window Settings Int Seq Radio Host Mode State Off", nullptr, "OFF", Place::Right},
    {"Window Settings Int Seq Radio Note Off State On", nullptr, "ON", Place::Right},
    {"Window Settings Int Seq Radio Note Off State Off", nullptr, "OFF", Place::Right},
    // Preset manager.
    {"Preset Manager Prev", "Preset Manager Next", "PRESET", Place::Left},
    {"Preset Manager Page1", nullptr, "PAGE", Place::Left},
    // About window.
    {"About Label Version", nullptr, "VERSION", Place::Left},
    {"About Label Plugin Path", nullptr, "MODULE", Place::Left},
};
const std::size_t kWindowCaptionCount = sizeof(kWindowCaptions) / sizeof(kWindowCaptions[0]);

const char* const kFillInLegends[6] = {"OFF", "16", "12", "8", "4", "2"};
const char* const kBasicVariationLegends[3] = {"A", "AB", "B"};
const char* const kFillInVariationLegends[2] = {"A", "B"};
const char* const kPrescaleLegends[4] = {"3", "6", "4", "8"};

}  // namespace vorlatek::art
