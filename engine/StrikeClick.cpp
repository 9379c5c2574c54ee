#include "engine/StrikeClick.h"

#include "engine/DspMath.h"

namespace vorlatek {

void StrikeClick::setSampleRate(double sampleRate) {
    edge.setFrequency(900.0, sampleRate);
    edge.reset();
    settled_ = false;
}

void StrikeClick::start(double height, double sampleRate, double rateFactor) {
    countdown = static_cast<std::int32_t>(0.00097 * sampleRate);
    pulseTarget = height;
    pulse = 0.0;
    settled_ = false;
    // Below 44.1 kHz the rise would overshoot; a rate of 1 already reaches the target.
    pulseRate = dsp::limitRate(0.99 * rateFactor);
}

}  // namespace vorlatek
