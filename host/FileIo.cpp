#include "host/FileIo.h"

#include "host/OutputFile.h"

namespace vorlatek::host {

void writeWholeFile(const std::string& path, const std::vector<char>& bytes) {
    OutputFile file(path);
    file.write(bytes.data(), bytes.size());
    file.commit();
}

}  // namespace vorlatek::host
