#include "engine/CongaVoice.h"

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

}  // namespace vorlatek
