#pragma once
// Mouse and keyboard events as the views see them. Coordinates are logical pixels; the frame
// converts from window pixels with its scale before any view sees an event.

#include <cstdint>

#include "toolkit/Geometry.h"

namespace vorlatek::toolkit {

// Mouse buttons and modifier keys held, as a bit set. The editor reads the same bits with
// every value change.
enum ButtonState : unsigned {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kCommand = 64,  // the Super key on Linux
};
inline constexpr unsigned kModifierKeys = kShift | kControl | kAlt | kCommand;
inline constexpr unsigned kMouseButtons = kLButton | kMButton | kRButton;

struct MouseEvent {
    Point where;           // in the coordinates of the receiving view's parent
    unsigned buttons = 0;  // ButtonState bits held during the event
    int clickCount = 1;    // 2 for the second press of a double click

    bool modifiers() const { return (buttons & kModifierKeys) != 0; }
    bool onlyModifier(unsigned key) const { return (buttons & kModifierKeys) == key; }
};

// What a view answers to a press: whether it follows the gesture (then it receives the moves
// and the release, wherever the pointer goes) or leaves it.
enum class MouseResult { Ignored, Handled, Captured };

// Keys with a meaning of their own; every other key arrives as a character.
enum class VirtualKey : std::uint8_t {
    None,
    Backspace,
    Tab,
    Enter,
    Escape,
    Delete,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
};

// One key press. `character` is the Unicode code point the key types (0 for none); with Ctrl
// held it is still the plain letter, so Ctrl+C arrives as 'c' with kControl. Trivially
// copyable, so that the host's key calls can queue it from any thread.
struct KeyEvent {
    VirtualKey key = VirtualKey::None;
    char32_t character = 0;
    unsigned modifiers = 0;  // kShift, kControl, kAlt, kCommand
};

}  // namespace vorlatek::toolkit
