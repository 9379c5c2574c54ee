#include "engine/TomVoice.h"

#include "engine/DspMath.h"

namespace vorlatek {

using dsp::kEpsilon;

TomVoice::TomVoice(double baseFrequency_, double dampingScale_, double outputGain_)
    : StruckResonatorVoice(baseFrequency_, dampingScale_, outputGain_) {
    TomVoice::setSampleRate(44100.0f);
}

void TomVoice::setSampleRate(float rate) {
    StruckResonatorVoice::setSampleRate(rate);
    hiss.setFrequency(kNoiseHighCorner, sampleRate);
    hiss.reset();
    hush.setFrequency(kNoiseLowCorner, sampleRate);
    hush.reset();
}

void TomVoice::setSnappy(double s) { snappy = dsp::clampUnit(s); }

void TomVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    const double a = 4.17 * velocity;
    click.start(a, sampleRate, rateFactor);
    noiseEnvelope = a;
    noiseDecay = 0.0002 * rateFactor;
}

}  // namespace vorlatek
