#include "engine/SnareDrumVoice.h"

#include "engine/AudibleBand.h"
#include "engine/DspMath.h"
#include "engine/NoiseSource.h"

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

// Energy per second of the snares' part of one hit at `sampleRate`, at the middle Decay: the
// shared noise through the gate under the snare envelope, the hiss high-pass and the snares
// resonator, as trigger() and step() run them, over the first second; of the audible band
// only (see AudibleBand.h).
double snaresHitPower(double sampleRate, double resonatorF) {
    NoiseSource noise;
    noise.setSampleRate(sampleRate);
    dsp::OnePoleHighPass edge, hiss;
    edge.setFrequency(12000.0, sampleRate);
    hiss.setFrequency(3400.0, sampleRate);
    hiss.g = edge.g;
    dsp::ResonatorFilter snares;
    snares.F = resonatorF;
    snares.q = 0.9;
    dsp::AudibleBand audible(sampleRate);
    const double rateFactor = 44100.0 / sampleRate;
    const long attack = static_cast<long>(std::trunc(0.004 * sampleRate)), frames = std::lround(sampleRate);
    double envelope = 0.0, gate = 0.0, sum = 0.0;
    for (long n = 0; n < frames; ++n) {
        noise.step();
        gate = gate - (gate - 1.0) * 0.2;
        if (noise.noiseA < 0.0) gate = 0.0;
        gate = envelope * gate;
        const double rattle = audible.process(2.0 * snares.process(hiss.process(gate)));
        sum += rattle * rattle;
        if (n < attack) dsp::smooth(envelope, 1.0, dsp::limitRate(0.015 * rateFactor));
        else dsp::smooth(envelope, 0.0, rateFactor * 0.0005);
    }
    return sum / sampleRate;
}

// The coefficient of the snares resonator: the angle 2π·3400/sr itself, held short of
// where the loop turns unstable.
double snaresCoefficient(double sampleRate) { return std::min(kTwoPi * 3400.0 / sampleRate, kSnareResonatorLimit); }

}  // namespace

SnareDrumVoice::SnareDrumVoice() {
    updateToneLevels();
    updateDecayRate();
    settleTone();
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

void SnareDrumVoice::settleTone() {
    toneLevelSmoothed = toneLevel;
    bodyLevelSmoothed = bodyLevel;
    toneLevelRestTarget = std::numeric_limits<double>::quiet_NaN();
    bodyLevelRestTarget = std::numeric_limits<double>::quiet_NaN();
}

void SnareDrumVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    toneLevelRestTarget = std::numeric_limits<double>::quiet_NaN();  // the smoothing rate changes
    bodyLevelRestTarget = std::numeric_limits<double>::quiet_NaN();
    pulseTarget = 0.0;
    pulseCountdown = 0;
    drum.F = dsp::Pair{dsp::ResonatorFilter::frequencyCoefficient(170.0, sampleRate),
                       dsp::ResonatorFilter::frequencyCoefficient(340.0, sampleRate)};
    drum.q = dsp::Pair{0.065, 0.11};
    snares.F = snaresCoefficient(sampleRate);
    snares.q = 0.9;
    drum.reset();
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
    // The noise is white at every rate, and the gate opens by a fixed step per sample, so
    // the snares' level changes with the rate: their part is scaled so that its noise path
    // has the power it has at 44.1 kHz. The body is struck the same way at every rate.
    noiseCompensation =
        dsp::levelCompensation(sampleRate, [](double rate) { return snaresHitPower(rate, snaresCoefficient(rate)); });
}

void SnareDrumVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    const double a = 2.645 * static_cast<double>(velocity);
    amplitude = a * a * noiseCompensation;
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
