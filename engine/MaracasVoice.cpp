#include "engine/MaracasVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

namespace {

constexpr double kBaseCorner = 10009.0;  // Hz at cornerFactor 1 (Tone 0.5)
constexpr double kQ = 1.5;

}  // namespace

MaracasVoice::MaracasVoice() { setSampleRate(44100.0f); }

void MaracasVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    cornerFactor = 1.0;
    envelopeTarget = 0.0;
    tuneHighPass();
    highPass.reset();
}

void MaracasVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    envelopeTarget = 1.0;
    countdown = 0.02 * sampleRate;
    stage1 = 0.0;
    stage1Rate = 0.003 * rateFactor;
    stage2 = 0.0;
    stage2Rate = 0.01 * rateFactor;
    cornerFactor = tone + 0.5;
    tuneHighPass();
}

void MaracasVoice::setTone(double t) {
    tone = t;
    cornerFactor = t + 0.5;
    tuneHighPass();
}

void MaracasVoice::tuneHighPass() {
    const double corner = dsp::limitCorner(kBaseCorner * cornerFactor, sampleRate);
    const double k = std::tan(dsp::kPi * corner / sampleRate);
    const double n = 1.0 / (1.0 + k / kQ + k * k);
    highPass.b0 = n;
    highPass.b1 = -2.0 * n;
    highPass.b2 = n;
    highPass.a1 = 2.0 * n * (k * k - 1.0);
    highPass.a2 = n * (1.0 - k / kQ + k * k);
}

double MaracasVoice::foldNoise(double n) {
    if (n > 0.0) {
        const double u = n + 1.0;
        n = 1.5 * u - 0.5 * (u * u * u) - 1.0;
    }
    return n;
}

}  // namespace vorlatek
