#include "engine/StruckResonatorVoice.h"

#include "engine/DspMath.h"

namespace vorlatek {

StruckResonatorVoice::StruckResonatorVoice(double baseFrequency_, double dampingScale_, double outputGain_)
    : baseFrequency(baseFrequency_), dampingScale(dampingScale_), outputGain(outputGain_) {}

void StruckResonatorVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    click.setSampleRate(sampleRate);
    resonator.reset();
    setTuning(tuning);
    setDecay(decay);
}

void StruckResonatorVoice::setTuning(double t) {
    tuning = dsp::clampUnit(t);
    tuneFactor = dsp::tuneFactor(tuning);
    resonator.F = dsp::tunedCoefficient(baseFrequency, tuneFactor, sampleRate);
}

void StruckResonatorVoice::setDecay(double d) {
    decay = dsp::clampUnit(d);
    decayFactor = dsp::decayFactor(decay);
    resonator.q = decayFactor * dampingScale;
}

}  // namespace vorlatek
