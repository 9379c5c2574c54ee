// The program chunk (one `VorlatekPreset`), which is also what a .vpp file holds.

#include "FuzzedPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlatek::fuzz::plugin().setChunk(data, size, true);
    return 0;
}
