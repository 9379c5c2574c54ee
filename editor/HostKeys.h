#pragma once
// The host's key calls in the toolkit's terms: the character, virtual key and modifier bits
// of the VST interface as one key event.

#include <optional>

#include "toolkit/Events.h"

namespace vorlatek::editor {

// Nothing for a call that names no key the editor can use.
std::optional<toolkit::KeyEvent> keyFromHost(int character, int virtualKey, int modifiers);

}  // namespace vorlatek::editor
