#pragma once
// Key presses of an X connection read through xkbcommon: the core keyboard's keymap, each
// press turned into a KeyEvent by its keycode and the modifier state the event carries, and
// dead keys and compose sequences of the user's locale (é from ´ and e) when its compose
// table can be read.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "toolkit/Events.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace vorlatek::toolkit {

class X11Keyboard {
public:
    X11Keyboard() = default;
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // False when the server has no XKB (then X key events are not used).
    bool setUp(xcb_connection_t* connection);
    bool isReady() const { return state_ != nullptr; }

    // The keys a press types: none while a compose sequence is under way, sometimes several.
    std::vector<KeyEvent> translate(std::uint8_t keycode, std::uint16_t state);
    // ButtonState modifier bits of an X event's state.
    static unsigned modifiers(std::uint16_t state);

private:
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    xkb_compose_table* composeTable_ = nullptr;
    xkb_compose_state* compose_ = nullptr;
};

}  // namespace vorlatek::toolkit
