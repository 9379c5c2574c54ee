#include "engine/HiHatVoice.h"

namespace vorlatek {

HiHatVoice::HiHatVoice(double centre_) : centre(centre_) {}

void HiHatVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    stage.setSampleRate(sampleRate);
    setTone(tone);
}

void HiHatVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    countdown = 0.00097 * sampleRate;
    attackTarget = 2.645 * velocity;
    envelope = 0.0;
    envelopeRate = 0.2 * rateFactor;
}

void HiHatVoice::setTone(double x) {
    tone = x;
    stage.setHighPass(centre * (x + 0.5), 1.5);
}

}  // namespace vorlatek
