#include "host/FileIo.h"

#include "host/HostError.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace vorlatek::host {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string reason() { return std::strerror(errno); }

}  // namespace

std::vector<char> readWholeFile(const std::string& path, std::size_t maxBytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw HostError("cannot read " + path + ": " + reason());
    std::vector<char> bytes;
    char buffer[65536];
    while (true) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        if (n == 0) break;
        if (bytes.size() + n > maxBytes) {
            throw HostError("cannot read " + path + ": larger than " + std::to_string(maxBytes) + " bytes");
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (std::ferror(file.get())) throw HostError("cannot read " + path + ": " + reason());
    return bytes;
}

std::string temporaryNameFor(const std::string& path) {
    return path + ".partial-" + std::to_string(::getpid());
}

void writeFileAtomically(const std::string& path, const std::vector<char>& bytes) {
    const std::string temporary = temporaryNameFor(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) throw HostError("cannot write " + path + ": " + reason());
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    std::string why = reason();
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) {
        std::remove(temporary.c_str());
        throw HostError("cannot write " + path + ": " + why);
    }
    commitTemporary(temporary, path);
}

}  // namespace vorlatek::host
