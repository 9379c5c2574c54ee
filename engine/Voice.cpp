#include "engine/Voice.h"

#include <limits>

namespace vorlatek {

Voice::Voice() = default;

void Voice::setSampleRate(float rate) {
    sampleRate = static_cast<double>(rate);
    inverseSampleRate = 1.0 / sampleRate;
    rateUp = sampleRate / 44100.0;
    rateFactor = 44100.0 / sampleRate;
    rateFactorCubed = rateFactor * rateFactor * rateFactor;
    nyquist = sampleRate / 2.0;
    fir.reset();
    levelRate = 0.002 * rateFactor;
    levelRestTarget = std::numeric_limits<double>::quiet_NaN();
    peakDecay = 0.0002 * rateFactor;
}

void Voice::trigger(float) {
    active = true;
    peak = 0.01;
}

}  // namespace vorlatek
