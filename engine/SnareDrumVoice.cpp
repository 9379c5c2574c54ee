#include "engine/SnareDrumVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlatek {

using dsp::kTwoPi;

namespace {

// The snare resonator's coefficient is the angle 2π·f/sr itself. Below about 16.5 kHz that
// angle passes the point where the two-integrator loop turns unstable (F² + 2qF ≥ 4), so
// it is held a little short of it there; at usual rates it is never reached.
constexpr double kSnareResonatorLimit = 1.2;

}  // namespace

SnareDrumVoice::SnareDrumVoice() {
    updateToneLevels();
    updateDecayRate();
    toneLevelSmoothed = toneLevel;
    bodyLevelSmoothed = bodyLevel;
}

// Tone level 0 at 0, 0.15 at 0.5, 1 at 1; body level 1 at 0, 0.5 at 0.5, 0.15 at 1.
void SnareDrumVoice::updateToneLevels() {
    toneLevel = 0.03214285714290635 * std::exp(3.469202110771855 * tone) - 0.03214285714214475;
    bodyLevel = 1.6666666666188559 * std::exp(-0.7133498879091811 * tone) - 0.6666666666160388;
}

// 5 at 0, 1 at 0.5, 0.2 at 1.
void SnareDrumVoice::updateDecayRate() {
    decayRate = 0.13650287544670278 * std::exp(3.600847511469488 - 3.218875824868201 * decay);
}

void SnareDrumVoice::setTone(double value) {
    tone = value;
    updateToneLevels();
}

void SnareDrumVoice::setDecay(double value) {
    decay = value;
    updateDecayRate();
}

void SnareDrumVoice::setSnappy(double value) {
    snappy = value;
    snappyGain = value;
}

void SnareDrumVoice::smoothTone() {
    dsp::smoothToRest(toneLevelSmoothed, toneLevel, levelRate, toneLevelRestTarget);
    dsp::smoothToRest(bodyLevelSmoothed, bodyLevel, levelRate, bodyLevelRestTarget);
}

void SnareDrumVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    toneLevelRestTarget = std::numeric_limits<double>::quiet_NaN();  // the smoothing rate changes
    bodyLevelRestTarget = std::numeric_limits<double>::quiet_NaN();
    pulseTarget = 0.0;
    pulseCountdown = 0;
    head.F = dsp::ResonatorFilter::frequencyCoefficient(170.0, sampleRate);
    head.q = 0.065;
    overtone.F = dsp::ResonatorFilter::frequencyCoefficient(340.0, sampleRate);
    overtone.q = 0.11;
    snares.F = std::min(kTwoPi * 3400.0 / sampleRate, kSnareResonatorLimit);
    snares.q = 0.9;
    head.reset();
    overtone.reset();
    snares.reset();
    edge.setFrequency(12000.0, sampleRate);
    // The noise high-pass keeps the edge filter's gain rather than its own.
    hiss.setFrequency(3400.0, sampleRate);
    hiss.g = edge.g;
    edge.reset();
    hiss.reset();
    updateToneLevels();
    updateDecayRate();
    snappyGain = snappy;
}

void SnareDrumVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    const double a = 2.645 * static_cast<double>(velocity);
    amplitude = a * a;
    pulseTarget = a * a;
    pulseCountdown = static_cast<std::int32_t>(std::trunc(0.00097 * sampleRate));
    envelopeCountdown = static_cast<std::int32_t>(std::trunc(0.004 * sampleRate));
    envelopeTarget = 1.0;
    pulse = 0.0;
    pulseRate = dsp::limitRate(0.99 * rateFactor);
    envelope = 0.0;
    envelopeRate = dsp::limitRate(0.015 * rateFactor);
}

}  // namespace vorlatek
