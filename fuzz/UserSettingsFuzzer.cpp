// The user settings file next to the module (`VorlatekUserSettings`).

#include "FuzzedPlugin.h"
#include "plugin/StateDocuments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlatek;
    const xml::Document doc = fuzz::parse(data, size);
    DrumPlugin& plugin = fuzz::plugin();
    const DrumPlugin::Scope scope(plugin);
    StateDocuments::readUserSettings(plugin, doc.root());
    return 0;
}
