#include "engine/ProcessorFeatures.h"

namespace vorlatek::cpu {

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

const bool gHasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

const bool gDetectedAvx512 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512vl") != 0;
}();

}  // namespace

bool detail::gUseAvx512 = gDetectedAvx512;

bool hasAvx2() { return gHasAvx2; }
bool detectedAvx512() { return gDetectedAvx512; }
void useAvx512(bool use) { detail::gUseAvx512 = use && gDetectedAvx512; }
#else
bool detail::gUseAvx512 = false;

bool hasAvx2() { return false; }
bool detectedAvx512() { return false; }
void useAvx512(bool) {}
#endif

}  // namespace vorlatek::cpu
