#pragma once
// The host's commands. Each writes its results to `out` (the real standard output;
// whatever a plug-in prints goes to stderr instead) and throws HostError on failure.

#include "host/Options.h"

#include <cstdio>

namespace vorlatek::host {

void runInfo(const InfoOptions& options, std::FILE* out);
void runRender(const RenderOptions& options, std::FILE* out);
void runChunk(const ChunkOptions& options, std::FILE* out);
void runEdit(const EditOptions& options, std::FILE* out);
// Returns the exit status: 1 when a check failed.
int runValidate(const ValidateOptions& options, std::FILE* out);

}  // namespace vorlatek::host
