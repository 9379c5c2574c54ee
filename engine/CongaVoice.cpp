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

double CongaVoice::render(const SharedSignals&) {
    const double band = resonator.process(click.step(rateFactor) * amplitude);
    return band * levelSmoothed * outputGain;
}

void CongaVoice::renderRun(const SharedSignals* in, double* out, int frames) {
    renderVoiceRun(*this, in, out, frames);
}

}  // namespace vorlatek
