// The commands the Windows build of the host does not have: the editor's window is X11 and
// the validator's checks run in forked children behind guard pages.
#include "host/Commands.h"
#include "host/HostError.h"

namespace vorlatek::host {

void runEdit(const EditOptions&, std::FILE*) {
    throw HostError("edit is not in the Windows build: the editor's window needs X11");
}

int runValidate(const ValidateOptions&, std::FILE*) {
    throw HostError("validate is not in the Windows build: its checks run in forked child processes");
}

}  // namespace vorlatek::host
