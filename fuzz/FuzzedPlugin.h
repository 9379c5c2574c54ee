#pragma once
// What every fuzz target shares: one plug-in object for the whole run (made once: building
// it reads the factory banks), and a parser for the fuzzer's bytes.

#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"
#include "sequencer/XmlDocument.h"

#include <cstddef>
#include <cstdint>

namespace vorlatek::fuzz {

// No module folder: no user settings file is read or written.
inline DrumPlugin& plugin() {
    static DrumPlugin instance(nullptr, "");
    return instance;
}

inline xml::Document parse(const std::uint8_t* data, std::size_t size) { return xml::Document::parseMemory(data, size); }

}  // namespace vorlatek::fuzz
