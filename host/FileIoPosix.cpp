// Moving a finished file into place on POSIX systems: rename replaces the old file in one
// step.
#include "host/FileIo.h"

#include "host/HostError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorlatek::host {

void commitTemporary(const std::string& temporary, const std::string& path) {
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string why = std::strerror(errno);
        std::remove(temporary.c_str());
        throw HostError("cannot write " + path + ": " + why);
    }
}

}  // namespace vorlatek::host
