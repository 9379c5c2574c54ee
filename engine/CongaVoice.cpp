#include "engine/CongaVoice.h"

#include "engine/VoiceRun.h"

namespace vorlatek {

CongaVoice::CongaVoice(double baseFrequency_, double dampingScale_, double outputGain_)
    : StruckResonatorVoice(baseFrequency_, dampingScale_, outputGain_) {
    CongaVoice::setSampleRate(44100.0f);
}

void CongaVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    click.start(1.0, sampleRate, rateFactor);
}

double CongaVoice::step(const SharedSignals&, double level) {
    const double band = resonator.process(click.step(rateFactor) * amplitude);
    return band * level * outputGain;
}

double CongaVoice::render(const SharedSignals& in) { return step(in, levelSmoothed); }

void CongaVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                               PeakFollower& follower) {
    stepOver(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
