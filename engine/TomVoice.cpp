#include "engine/TomVoice.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek {

using dsp::kEpsilon;
using dsp::kPi;

TomVoice::TomVoice(double baseFrequency_, double dampingScale_, double outputGain_)
    : baseFrequency(baseFrequency_), dampingScale(dampingScale_), outputGain(outputGain_) {
    TomVoice::setSampleRate(44100.0f);
}

void TomVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    click.setSampleRate(sampleRate);
    resonator.reset();
    setTuning(tuning);
    setDecay(decay);
    hiss.setFrequency(kNoiseHighCorner, sampleRate);
    hiss.reset();
    hush.setFrequency(kNoiseLowCorner, sampleRate);
    hush.reset();
}

void TomVoice::setTuning(double t) {
    tuning = std::fmin(std::fmax(t, 0.0), 1.0);
    tuneFactor = tuning * (0.072 * tuning + 0.154) + 0.905;
    resonator.F = 2.0 * std::sin(kPi * baseFrequency * tuneFactor / sampleRate);
}

void TomVoice::setDecay(double d) {
    decay = std::fmin(std::fmax(d, 0.0), 1.0);
    decayFactor = 4.0 * std::pow(0.0625, decay);
    resonator.q = decayFactor * dampingScale;
}

void TomVoice::setSnappy(double s) { snappy = std::fmin(std::fmax(s, 0.0), 1.0); }

void TomVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    const double a = 4.17 * velocity;
    click.start(a, sampleRate, rateFactor);
    noiseEnvelope = a;
    noiseDecay = 0.0002 * rateFactor;
}

double TomVoice::render(const SharedSignals& in) {
    const double band = resonator.process(click.step(rateFactor));
    const double rumble = hush.process(hiss.process(in.noiseB));
    const double out = (rumble * snappy * noiseEnvelope * 0.15 + band) * levelSmoothed * outputGain + kEpsilon;
    dsp::decay(noiseEnvelope, noiseDecay);
    return out;
}

}  // namespace vorlatek
