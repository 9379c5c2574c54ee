// Pattern files: simple and extended patterns and their banks (.vsp, .vep, .vsb, .veb).

#include "FuzzedPlugin.h"
#include "sequencer/PatternFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlatek;
    const auto store = fuzz::plugin().patternStore();
    const xml::Document doc = fuzz::parse(data, size);
    readSimplePattern(doc.root(), *store->simplePattern(0));
    readExtendedPattern(doc.root(), *store->extendedPattern(0));
    loadPatternBank(data, size, *store);
    return 0;
}
