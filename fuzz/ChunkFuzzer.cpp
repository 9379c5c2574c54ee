// The bank chunk a host hands back from its project.

#include "FuzzedPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlatek::fuzz::plugin().setChunk(data, size, false);
    return 0;
}
