#include "engine/TriggerPulse.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

using dsp::kEpsilon;
using dsp::kPi;

void TriggerPulse::setSampleRate(double sampleRate) {
    rateFactor = 44100.0 / sampleRate;
    period = 0.9090909090909091 * sampleRate;
    harmonics = 2.0 * std::trunc(period / 2.0) + 1.0;
    offset = std::trunc(0.982 * period);
    position = period;
    blitValue = 0.0;
    integrator = 0.0;
    follower = 0.0;
    output = 0.0;

    // The positions a pulse steps through after start(), in the same arithmetic as step().
    tabulated_ = 0;
    double at = -60.1;
    for (; tabulated_ < kTabulatedSteps && 0.5 * period > at; at = at + 1.0) blitTable_[tabulated_++] = blit(at);
    tableCoversPulse_ = !(0.5 * period > at);
    stepsSinceStart_ = tabulated_;
    settled_ = false;
}

double TriggerPulse::blit(double at) const {
    const double b = at + 1.0;
    const double c = at + offset;
    const double n = harmonics;
    return std::sin(kPi * n * b / period) / (n * std::sin(kPi * b / period)) -
           std::sin(kPi * n * c / period) / (n * std::sin(kPi * c / period));
}

// One step is a run of one.
double TriggerPulse::step() {
    float out;
    render(&out, 1);
    return output;
}

void TriggerPulse::render(float* out, int frames) {
    // While a pulse runs, its states stay in registers (written to the members each frame,
    // the follower's chain would wait on memory as well).
    const double rate = 0.001 * rateFactor;
    const double end = 0.5 * period;
    double at = position, blitNow = blitValue, integral = integrator, follow = follower;
    int steps = stepsSinceStart_;
    int f = 0;
    for (; f < frames && end > at; ++f) {
        blitNow = steps < tabulated_ ? blitTable_[steps++] : blit(at);
        runningStep(blitNow, integral, at);
        output = followingStep(follow, integral, rate);
        out[f] = static_cast<float>(output);
    }
    position = at;
    blitValue = blitNow;
    integrator = integral;
    stepsSinceStart_ = steps;
    // Idle, only the follower moves, toward the held integrator. Once a step leaves it where
    // it was, every later one would too, and the output stays as it is.
    for (; f < frames; ++f) {
        const double before = follow;
        output = followingStep(follow, integrator, rate);
        out[f] = static_cast<float>(output);
        if (dsp::sameBits(follow, before)) {
            std::fill(out + f + 1, out + frames, out[f]);
            settled_ = true;
            break;
        }
    }
    follower = follow;
}

}  // namespace vorlatek
