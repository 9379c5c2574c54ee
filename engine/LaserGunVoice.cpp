#include "engine/LaserGunVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

LaserGunVoice::LaserGunVoice() { setSampleRate(44100.0f); }

void LaserGunVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    setDepth(depth);
    setDecay(decay);
    setSweep(sweep);
}

void LaserGunVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    if (level == 0.0) return;
    amplitude = 2.645 * velocity;
    envelope = 1.0;
    sweepEnvelope = 1.0;
    phase = 0.0;
    countdown = 0.00097 * sampleRate;
}

void LaserGunVoice::setDepth(double x) {
    depth = x;
    depthFactor = 0.012499999999932523 * std::exp(4.394449154676355 * x) - 0.012499999998941072;
}

// Both rates are held at 1 at most: far below 0 their curves would make the falls diverge.
void LaserGunVoice::setDecay(double x) {
    decay = x;
    envelopeRate = rateFactor * 0.1 * (0.14882823871913825 * std::exp(-6.480156065054237 * x) + 0.0011717612809592545);
    envelopeRate = dsp::limitRate(envelopeRate);
}

void LaserGunVoice::setSweep(double x) {
    sweep = x;
    sweepRate = rateFactor * 0.1 * (0.2888000000010188 * std::exp(-2.145273604520082 * x) + 0.0011999999984554088);
    sweepRate = dsp::limitRate(sweepRate);
}

}  // namespace vorlatek
