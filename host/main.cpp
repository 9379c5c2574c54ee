// vorlatek-host: a command-line VST 2.4 host for inspecting plug-ins and rendering them to
// audio files without a sequencer.

#include "host/CommandLine.h"
#include "host/Commands.h"
#include "host/HostError.h"
#include "host/Options.h"

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace vorlatek::host;

namespace {

int run(const std::vector<std::string>& args, std::FILE* out) {
    if (args.empty()) throw HostError("no command given (info, render, chunk, validate or edit; --help for usage)");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, out);
    } else if (command == "info") {
        runInfo(parseInfoOptions(rest), out);
    } else if (command == "render") {
        runRender(parseRenderOptions(rest), out);
    } else if (command == "chunk") {
        runChunk(parseChunkOptions(rest), out);
    } else if (command == "validate") {
        return runValidate(parseValidateOptions(rest), out);
    } else if (command == "edit") {
        runEdit(parseEditOptions(rest), out);
    } else {
        throw HostError("unknown command '" + command + "' (info, render, chunk, validate or edit; --help for usage)");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Plug-ins may print to the standard output; what they print goes to stderr so that
    // the host's own output (JSON above all) stays clean.
    std::FILE* out = nullptr;
    int outFd = ::dup(STDOUT_FILENO);
    if (outFd >= 0) out = ::fdopen(outFd, "w");
    if (out != nullptr) {
        std::fflush(stdout);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
    } else {
        out = stdout;
    }

    int status = 1;
    try {
        status = run(commandLineArguments(argc, argv), out);
    } catch (const HostError& error) {
        std::fprintf(stderr, "vorlatek-host: %s\n", error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorlatek-host: error: %s\n", error.what());
    }
    if (std::fflush(out) != 0 && status == 0) {
        std::fprintf(stderr, "vorlatek-host: cannot write the output\n");
        status = 1;
    }
    return status;
}
