#include "engine/CongaVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

using dsp::kPi;

void StrikeClick::setSampleRate(double sampleRate) {
    edge.setFrequency(900.0, sampleRate);
    edge.reset();
}

void StrikeClick::start(double height, double sampleRate, double rateFactor) {
    countdown = static_cast<std::int32_t>(0.00097 * sampleRate);
    pulseTarget = height;
    pulse = 0.0;
    // Below 44.1 kHz the rise would overshoot; a rate of 1 already reaches the target.
    pulseRate = std::min(0.99 * rateFactor, 1.0);
}

double StrikeClick::step(double rateFactor) {
    if (countdown == 0) {
        pulseTarget = 0.0;
        pulseRate = std::min(0.5 * rateFactor, 1.0);
    }
    if (countdown >= 0) --countdown;  // stays at −1 once the pulse is released
    shapedEdge = edge.process(-pulse);
    if (shapedEdge > 0.0) shapedEdge *= 0.1;
    dsp::smooth(pulse, pulseTarget, pulseRate);
    return shapedEdge;
}

CongaVoice::CongaVoice(double baseFrequency_, double dampingScale_, double outputGain_)
    : baseFrequency(baseFrequency_), dampingScale(dampingScale_), outputGain(outputGain_) {
    CongaVoice::setSampleRate(44100.0f);
}

void CongaVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    click.setSampleRate(sampleRate);
    resonator.reset();
    setTuning(tuning);
    setDecay(decay);
}

void CongaVoice::setTuning(double t) {
    tuning = std::fmin(std::fmax(t, 0.0), 1.0);
    tuneFactor = tuning * (0.072 * tuning + 0.154) + 0.905;
}

void CongaVoice::setDecay(double d) {
    decay = std::fmin(std::fmax(d, 0.0), 1.0);
    decayFactor = 4.0 * std::pow(0.0625, decay);
}

void CongaVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    click.start(1.0, sampleRate, rateFactor);
}

double CongaVoice::render(const SharedSignals&) {
    const double shapedEdge = click.step(rateFactor);
    // Recomputed every sample, so a tuning or decay change is heard at once.
    resonator.F = 2.0 * std::sin(kPi * baseFrequency * tuneFactor / sampleRate);
    resonator.q = decayFactor * dampingScale;
    const double band = resonator.process(shapedEdge * amplitude);
    return band * levelSmoothed * outputGain;
}

}  // namespace vorlatek
