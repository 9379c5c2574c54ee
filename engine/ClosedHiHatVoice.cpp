#include "engine/ClosedHiHatVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

ClosedHiHatVoice::ClosedHiHatVoice() : HiHatVoice(10200.0) { setSampleRate(44100.0f); }

void ClosedHiHatVoice::setSampleRate(float rate) {
    HiHatVoice::setSampleRate(rate);
    setDecay(decay);
}

void ClosedHiHatVoice::setDecay(double x) {
    decay = x;
    decayRate = 0.01 * (0.423837209300238 * std::exp(-2.0269089606884894 * x) - 0.023837209300276788);
    // Held in 0..1 per sample: above Decay 1.42 the curve turns negative (the note would
    // grow), far below 0 the fall would diverge.
    decayRate = std::clamp(decayRate, 0.0, rateUp);
}

}  // namespace vorlatek
