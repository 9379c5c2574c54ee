#pragma once
// The host's own file selector, as the editor may ask for it. The VST adapter says whether
// the host has one (it answers yes to "openFileSelector" and "closeFileSelector") and passes
// the record on to the host; the editor's file dialog decides when to use it.

#include "plugin/VstInterface.h"

namespace vorlatek {

class HostFileSelector {
public:
    // True when the host answered yes to both capabilities.
    virtual bool canSelectFiles() = 0;
    // audioMasterOpenFileSelector and audioMasterCloseFileSelector with `select`; the host's
    // answers.
    virtual vst::VstIntPtr openFileSelector(vst::VstFileSelect& select) = 0;
    virtual vst::VstIntPtr closeFileSelector(vst::VstFileSelect& select) = 0;

protected:
    ~HostFileSelector() = default;
};

}  // namespace vorlatek
