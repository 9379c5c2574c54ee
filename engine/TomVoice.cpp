#include "engine/TomVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

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

double TomVoice::step(const SharedSignals& in, double level) {
    const double band = resonator.process(click.step(rateFactor));
    const double rumble = hush.process(hiss.process(in.noiseB));
    const double out = (rumble * snappy * noiseEnvelope * 0.15 + band) * level * outputGain + kEpsilon;
    dsp::decay(noiseEnvelope, noiseDecay);
    return out;
}

double TomVoice::render(const SharedSignals& in) { return step(in, levelSmoothed); }

void TomVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                             PeakFollower& follower) {
    stepOver(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
