// A preset bank file (.vpb, `VorlatekPresetBank`).

#include "FuzzedPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlatek;
    DrumPlugin& plugin = fuzz::plugin();
    const xml::Document doc = fuzz::parse(data, size);
    plugin.presets()->readPresetBank(doc.root(), plugin);
    return 0;
}
