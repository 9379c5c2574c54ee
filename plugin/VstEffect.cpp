#include "plugin/VstEffect.h"

namespace vorlatek {

vst::AEffect* VstEffect::create(vst::audioMasterCallback) { return nullptr; }

}  // namespace vorlatek
