#pragma once
#include "plugin/VstInterface.h"

namespace vorlatek {

class VstEffect {
public:
    static vst::AEffect* create(vst::audioMasterCallback host);
};

}  // namespace vorlatek
