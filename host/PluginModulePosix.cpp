#include "host/PluginModule.h"

#include "host/HostError.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vorlatek::host {
namespace {

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The shared object to load for a path: the file itself, or for a bundle folder such as
// "Name.vst" the "Name.so" inside it.
std::string moduleFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw HostError("cannot open plug-in " + path + ": " + std::strerror(errno));
    }
    std::string file = path;
    if (S_ISDIR(info.st_mode)) {
        std::string folder = path;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        std::string stem = folder.substr(folder.find_last_of('/') + 1);
        stem = stem.substr(0, stem.rfind('.'));
        file = folder + "/" + stem + ".so";
        if (stem.empty() || ::stat(file.c_str(), &info) != 0) {
            throw HostError("cannot open plug-in " + path + ": a folder without " + stem + ".so in it");
        }
    }
    if (!S_ISREG(info.st_mode)) throw HostError("cannot open plug-in " + path + ": not a regular file");
    // dlopen searches the library path for a bare name; a file name given by the user
    // always means that file.
    return file.find('/') == std::string::npos ? "./" + file : file;
}

// True when the symbol lives in the module itself rather than in one of the libraries it
// pulls in: a library that exports some unrelated `main` is not a plug-in.
bool definedInModule(void* module, void* symbol) {
    link_map* map = nullptr;
    Dl_info where{};
    if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return false;
    if (::dladdr(symbol, &where) == 0 || where.dli_fname == nullptr) return false;
    return std::strcmp(where.dli_fname, map->l_name) == 0;
}

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path) {
    const std::string file = moduleFile(path);
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = ::dlerror();
        throw HostError("cannot load plug-in " + path + ": " + oneLine(why ? why : "unknown error"));
    }
    void* symbol = ::dlsym(handle_, "VSTPluginMain");
    if (symbol == nullptr || !definedInModule(handle_, symbol)) symbol = ::dlsym(handle_, "main");
    if (symbol == nullptr || !definedInModule(handle_, symbol)) {
        ::dlclose(handle_);
        throw HostError(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    }
    entry_ = reinterpret_cast<vst::VstPluginMainProc>(symbol);
}

PluginModule::~PluginModule() { ::dlclose(handle_); }

}  // namespace vorlatek::host
