// A MIDI CC map file (`MidiCCMap`).

#include "FuzzedPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlatek;
    const xml::Document doc = fuzz::parse(data, size);
    DrumPlugin& plugin = fuzz::plugin();
    const DrumPlugin::Scope scope(plugin);
    if (xml::isElement(doc.root(), "MidiCCMap")) plugin.readMidiCcMap(doc.root());
    return 0;
}
