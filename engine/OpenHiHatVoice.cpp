#include "engine/OpenHiHatVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

OpenHiHatVoice::OpenHiHatVoice() : HiHatVoice(8840.0) { setSampleRate(44100.0f); }

void OpenHiHatVoice::setSampleRate(float rate) {
    HiHatVoice::setSampleRate(rate);
    setDecay(decay);
}

void OpenHiHatVoice::trigger(float velocity) {
    HiHatVoice::trigger(velocity);
    choke = 1.0;
}

void OpenHiHatVoice::setDecay(double x) {
    decay = x;
    decayRate = 0.001 * (0.2688888888889135 * std::exp(-3.409496184475471 * x) + 0.05111111111139488);
    // Far below Decay 0 the fall per sample (decayRate·R) would pass 1 and diverge.
    decayRate = std::min(decayRate, rateUp);
}

}  // namespace vorlatek
