#include "toolkit/X11Keyboard.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <string>

#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

namespace {

// The locale whose compose table applies, as the C library would choose it.
const char* composeLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return "C";
}

}  // namespace

X11Keyboard::~X11Keyboard() {
    if (compose_) xkb_compose_state_unref(compose_);
    if (composeTable_) xkb_compose_table_unref(composeTable_);
    if (state_) xkb_state_unref(state_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
}

bool X11Keyboard::setUp(xcb_connection_t* connection) {
    if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return false;
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0) return false;
    context_ = xkb_context_new(xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context_) return false;
    keymap_ = xkb_x11_keymap_new_from_device(context_, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap_) return false;
    state_ = xkb_x11_state_new_from_device(keymap_, connection, device);
    composeTable_ = xkb_compose_table_new_from_locale(context_, composeLocale(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (composeTable_) compose_ = xkb_compose_state_new(composeTable_, XKB_COMPOSE_STATE_NO_FLAGS);
    return state_ != nullptr;
}

unsigned X11Keyboard::modifiers(std::uint16_t state) {
    unsigned bits = 0;
    if (state & XCB_MOD_MASK_SHIFT) bits |= kShift;
    if (state & XCB_MOD_MASK_CONTROL) bits |= kControl;
    if (state & XCB_MOD_MASK_1) bits |= kAlt;
    if (state & XCB_MOD_MASK_4) bits |= kCommand;
    return bits;
}

std::vector<KeyEvent> X11Keyboard::translate(std::uint8_t keycode, std::uint16_t state) {
    KeyEvent event;
    event.modifiers = modifiers(state);
    if (!state_) return {};
    // The event's own state decides the level: no key history is needed.
    xkb_state_update_mask(state_, state & 0xFF, 0, 0, 0, 0, (state >> 13) & 3);
    xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, keycode);
    if (compose_ && xkb_compose_state_feed(compose_, sym) == XKB_COMPOSE_FEED_ACCEPTED) {
        switch (xkb_compose_state_get_status(compose_)) {
            case XKB_COMPOSE_COMPOSING: return {};
            case XKB_COMPOSE_CANCELLED: xkb_compose_state_reset(compose_); return {};
            case XKB_COMPOSE_COMPOSED: {
                char text[64];
                xkb_compose_state_get_utf8(compose_, text, sizeof text);
                xkb_compose_state_reset(compose_);
                std::vector<KeyEvent> typed;
                for (char32_t cp : utf8::codePoints(text)) typed.push_back({VirtualKey::None, cp, event.modifiers});
                return typed;
            }
            case XKB_COMPOSE_NOTHING: break;
        }
    }
    switch (sym) {
        case XKB_KEY_BackSpace: event.key = VirtualKey::Backspace; break;
        case XKB_KEY_Tab:
        case XKB_KEY_ISO_Left_Tab: event.key = VirtualKey::Tab; break;
        case XKB_KEY_Return:
        case XKB_KEY_KP_Enter: event.key = VirtualKey::Enter; break;
        case XKB_KEY_Escape: event.key = VirtualKey::Escape; break;
        case XKB_KEY_Delete:
        case XKB_KEY_KP_Delete: event.key = VirtualKey::Delete; break;
        case XKB_KEY_Left:
        case XKB_KEY_KP_Left: event.key = VirtualKey::Left; break;
        case XKB_KEY_Right:
        case XKB_KEY_KP_Right: event.key = VirtualKey::Right; break;
        case XKB_KEY_Up:
        case XKB_KEY_KP_Up: event.key = VirtualKey::Up; break;
        case XKB_KEY_Down:
        case XKB_KEY_KP_Down: event.key = VirtualKey::Down; break;
        case XKB_KEY_Home:
        case XKB_KEY_KP_Home: event.key = VirtualKey::Home; break;
        case XKB_KEY_End:
        case XKB_KEY_KP_End: event.key = VirtualKey::End; break;
        case XKB_KEY_Page_Up:
        case XKB_KEY_KP_Page_Up: event.key = VirtualKey::PageUp; break;
        case XKB_KEY_Page_Down:
        case XKB_KEY_KP_Page_Down: event.key = VirtualKey::PageDown; break;
        default: event.character = xkb_keysym_to_utf32(sym); break;
    }
    return {event};
}

}  // namespace vorlatek::toolkit
