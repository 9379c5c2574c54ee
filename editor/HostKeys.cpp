#include "editor/HostKeys.h"

#include "plugin/VstInterface.h"

namespace vorlatek::editor {

using toolkit::KeyEvent;
using toolkit::VirtualKey;

std::optional<KeyEvent> keyFromHost(int character, int virtualKey, int modifiers) {
    KeyEvent key;
    if (modifiers & vst::MODIFIER_SHIFT) key.modifiers |= toolkit::kShift;
    if (modifiers & vst::MODIFIER_ALTERNATE) key.modifiers |= toolkit::kAlt;
    if (modifiers & vst::MODIFIER_CONTROL) key.modifiers |= toolkit::kControl;
    if (modifiers & vst::MODIFIER_COMMAND) key.modifiers |= toolkit::kCommand;

    switch (virtualKey) {
        case vst::VKEY_BACK: key.key = VirtualKey::Backspace; break;
        case vst::VKEY_TAB: key.key = VirtualKey::Tab; break;
        case vst::VKEY_RETURN:
        case vst::VKEY_ENTER: key.key = VirtualKey::Enter; break;
        case vst::VKEY_ESCAPE: key.key = VirtualKey::Escape; break;
        case vst::VKEY_SPACE: key.character = U' '; break;
        case vst::VKEY_END: key.key = VirtualKey::End; break;
        case vst::VKEY_HOME: key.key = VirtualKey::Home; break;
        case vst::VKEY_LEFT: key.key = VirtualKey::Left; break;
        case vst::VKEY_UP: key.key = VirtualKey::Up; break;
        case vst::VKEY_RIGHT: key.key = VirtualKey::Right; break;
        case vst::VKEY_DOWN: key.key = VirtualKey::Down; break;
        case vst::VKEY_PAGEUP: key.key = VirtualKey::PageUp; break;
        case vst::VKEY_PAGEDOWN: key.key = VirtualKey::PageDown; break;
        case vst::VKEY_DELETE: key.key = VirtualKey::Delete; break;
        case vst::VKEY_MULTIPLY: key.character = U'*'; break;
        case vst::VKEY_ADD: key.character = U'+'; break;
        case vst::VKEY_SUBTRACT: key.character = U'-'; break;
        case vst::VKEY_DECIMAL: key.character = U'.'; break;
        case vst::VKEY_DIVIDE: key.character = U'/'; break;
        case vst::VKEY_EQUALS: key.character = U'='; break;
        default:
            if (virtualKey >= vst::VKEY_NUMPAD0 && virtualKey <= vst::VKEY_NUMPAD0 + 9)
                key.character = char32_t(U'0' + (virtualKey - vst::VKEY_NUMPAD0));
            else if (virtualKey == 0 && character >= 32 && character <= 0x10FFFF && character != 127 &&
                     !(character >= 0xD800 && character <= 0xDFFF))
                key.character = char32_t(character);
            else
                return std::nullopt;
    }
    return key;
}

}  // namespace vorlatek::editor
