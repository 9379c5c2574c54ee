#pragma once
// The images of the panel's controls, one function per kind. Each draws one frame into a
// cell at the origin, in scale-1 pixels; the caller places the cell in the strip.

#include "resources/art/Canvas.h"

#include <string>

namespace vorlatek::art {

struct Cell {
    double w = 0, h = 0;
};

enum class Icon { None, Play, Stop, Left, Right, ShiftLeft, ShiftRight, Copy, Paste, Clear, Undo, List, Info,
                  Close, Ellipsis, Folder, Disk };

// Knobs. `value` runs 0..1 over the knob's travel of 270 degrees.
void drawKnob(cairo_t* cr, Cell cell, double value, Rgb capColor);
// A rotary selector: a bar-shaped pointer knob stopping at `positions` places.
void drawSelector(cairo_t* cr, Cell cell, int position, int positions);
// Angle of a knob pointer for a value, radians, 0 pointing up.
double knobAngle(double value);
// Angle of a selector's pointer at a position: its stops spread over 220 degrees.
double selectorAngle(int position, int positions);

// Lamps and buttons.
void drawSquareLedButton(cairo_t* cr, Cell cell, Rgb led, bool lit, const std::string& letter);
void drawRoundLed(cairo_t* cr, Cell cell, Rgb led, bool lit);
void drawBarLed(cairo_t* cr, Cell cell, Rgb led, bool lit);
void drawStateButton(cairo_t* cr, Cell cell, Rgb led, bool lit);
void drawSelectButton(cairo_t* cr, Cell cell, const std::string& code, Rgb family, bool lit);
void drawModeButton(cairo_t* cr, Cell cell, const std::string& legend, bool lit, bool pressed);
void drawStepButton(cairo_t* cr, Cell cell, int step, int state, bool pressed);
void drawKickButton(cairo_t* cr, Cell cell, Icon icon, const std::string& legend, bool pressed);
void drawSlideSwitch(cairo_t* cr, Cell cell, int position, int positions);
void drawNamePlate(cairo_t* cr, Cell cell, const std::string& top, const std::string& bottom, Rgb family, bool lit);
void drawIcon(cairo_t* cr, Icon icon, double cx, double cy, double size, Rgb color);

// Displays: red segments behind wine-red glass. A glyph is a digit, a note letter, '-',
// '#' (sharp), 'n' (the note sign of host mode) or ' ' (dark).
void drawSegmentGlyph(cairo_t* cr, char glyph, double x, double y, double w, double h, double thickness);
void drawBigDigit(cairo_t* cr, Cell cell, char glyph);
void drawSmallDigit(cairo_t* cr, Cell cell, char glyph);
void drawOutputNumber(cairo_t* cr, Cell cell, int number);
// One glyph of the 5 x 7 dot-matrix font of the pattern name, codes 32..127.
void drawDotGlyph(cairo_t* cr, Cell cell, int code);
// A glass window with a bezel, drawn on a background under displays.
void drawGlass(cairo_t* cr, double x, double y, double w, double h);

// Window parts: cream cards with dark print.
void drawWindowButton(cairo_t* cr, Cell cell, Icon icon, const std::string& text, bool lit, bool pressed);
void drawRadio(cairo_t* cr, Cell cell, bool on);
void drawCheckbox(cairo_t* cr, Cell cell, bool on);
void drawCardCaption(cairo_t* cr, Cell cell, const std::string& text);
// The bitmap of an option menu: an icon with a legend, lit while the menu is open.
void drawMenuButton(cairo_t* cr, Cell cell, Icon icon, const std::string& text, bool open, bool onCard,
                    bool enabled);

}  // namespace vorlatek::art
