// Arguments on POSIX systems are the bytes the caller passed: file names as they are.
#include "host/CommandLine.h"

namespace vorlatek::host {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

}  // namespace vorlatek::host
