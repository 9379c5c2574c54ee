// `chunk`: starts an instance as a render would, optionally loads a chunk into it, and
// saves what the plug-in then returns as its state chunk, byte for byte.

#include "host/Commands.h"
#include "host/FileIo.h"
#include "host/HostError.h"
#include "host/PluginInstance.h"

#include <vector>

namespace vorlatek::host {

void runChunk(const ChunkOptions& o, std::FILE* out) {
    std::vector<char> load;
    if (o.loadFile) load = readWholeFile(*o.loadFile, kMaxChunkBytes);

    PluginInstance plugin(o.plugin);
    if (!plugin.hasFlag(vst::effFlagsProgramChunks)) throw HostError("the plug-in does not keep its state as a chunk");
    HostState& host = plugin.hostState();
    plugin.open();
    plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(host.sampleRate));
    plugin.dispatch(vst::effSetBlockSize, 0, host.blockSize);
    plugin.resume();
    if (o.loadFile) plugin.loadChunk(load, o.programForm, *o.loadFile);
    std::vector<char> chunk = plugin.getChunk(o.programForm);
    if (chunk.empty()) throw HostError("the plug-in returned no state chunk");
    plugin.suspend();
    plugin.close();

    writeWholeFile(o.output, chunk);
    std::fprintf(out, "wrote %s: %zu bytes (%s chunk)\n", o.output.c_str(), chunk.size(),
                 o.programForm ? "program" : "bank");
}

}  // namespace vorlatek::host
