#pragma once
// A VST 2.4 plug-in module loaded from a shared object: the library and its entry point.
// Any number of instances can be made from one module, as a host does for several tracks.

#include "plugin/VstInterface.h"

#include <string>

namespace vorlatek::host {

class PluginModule {
public:
    // Loads the module; throws HostError with a one-line message when the path is not a
    // loadable VST 2.4 plug-in.
    explicit PluginModule(const std::string& path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::string& path() const { return path_; }
    vst::VstPluginMainProc entry() const { return entry_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    vst::VstPluginMainProc entry_ = nullptr;
};

}  // namespace vorlatek::host
