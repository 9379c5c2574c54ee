#pragma once
// What the panel says: the instruments' name plates and families, the knobs' captions, and
// the captions printed next to controls of the main panel and the windows.

#include "resources/art/Canvas.h"

#include <string>

namespace vorlatek::art {

struct InstrumentText {
    const char* code;        // the two letters on the select buttons
    const char* plateTop;    // the name plate, in one or two lines
    const char* plateBottom;
    Rgb family;
};

// Instrument order (BD .. CH), then the accent.
extern const InstrumentText kInstrumentText[18];
const InstrumentText* instrumentByCode(const std::string& code);

// The caption under a sound knob, from its parameter name ("LC Tunning" is "TUNING").
std::string knobCaption(const std::string& parameterName);

// Margin: at the left margin of a window's form, level with the control.
enum class Place { Below, Above, Left, Right, Margin };

// A caption beside one control, or centred over the span of two (`last` not null).
struct Caption {
    const char* first;
    const char* last;
    const char* text;
    Place place;
};

extern const Caption kPanelCaptions[];
extern const std::size_t kPanelCaptionCount;
extern const Caption kWindowCaptions[];
extern const std::size_t kWindowCaptionCount;

// Legends around the auto fill-in selector, one per position.
extern const char* const kFillInLegends[6];
// Legends above the slide switches, one per position.
extern const char* const kBasicVariationLegends[3];
extern const char* const kFillInVariationLegends[2];
// Under the four prescale LEDs: steps per beat.
extern const char* const kPrescaleLegends[4];

}  // namespace vorlatek::art
