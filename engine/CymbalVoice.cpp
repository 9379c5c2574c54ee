#include "engine/CymbalVoice.h"

#include "engine/DriveLanes.h"
#include "engine/DspMath.h"
#include "engine/ProcessorFeatures.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

CymbalVoice::CymbalVoice() { setSampleRate(44100.0f); }

void CymbalVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    lowStage.setSampleRate(sampleRate);
    lowStage.setHighPass(2800.0, 2.0);
    midStage.setSampleRate(sampleRate);
    midStage.setHighPass(8840.0, 1.5);
    highStage.setSampleRate(sampleRate);
    highStage.setHighPass(8840.0, 7.5);
    lowA = dsp::onePoleCoefficient(5000.0, sampleRate);
    lowState = 0.0;
    setDecay(decay);
}

void CymbalVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    countdown = 0.00097 * sampleRate;
    attackTarget = 1.0;
    attack = 0.0;
    attackRate = 0.2 * rateFactor;
    fall1 = 1.0;
    fall2 = 0.0;
    fall2Rate = 0.003 * rateFactor;
    fall3 = 0.0;
    tailSource = 1.0;
    tailSmooth = 0.0;
    tailSmoothRate = 0.00025 * rateFactor;
}

void CymbalVoice::setTone(double x) { tone = x; }

// Rates are held in 0..1: outside the Decay range their curves would stop the fall (and
// then make it grow) or make it overshoot and diverge.
void CymbalVoice::setDecay(double x) {
    decay = x;
    fall1Rate = std::clamp((0.00035 - 0.0001 * x) * rateFactor, 0.0, 1.0);
    fall3Rate = std::clamp(
        0.01 * rateFactor * (0.02450000000009336 * std::exp(-2.5055259369629344 * x) + 0.0029999999999678127), 0.0,
        1.0);
    tailSourceRate = std::clamp(
        0.001 * rateFactor * (0.08100000000008598 * std::exp(-4.394449154698993887 * x) + 0.01899999999998158), 0.0,
        1.0);
}

namespace {

// The three stages one after another, each as DriveStage steps it.
struct StagesOneByOne {
    explicit StagesOneByOne(const CymbalVoice& v) : low(v.lowStage), mid(v.midStage), high(v.highStage) {}
    void step(const SharedSignals& in, double tail, double body, double attack, double& lowOut, double& midOut,
              double& highOut) {
        lowOut = low.processJunction(in.cymbalLowJunction, tail);
        midOut = mid.processJunction(in.metalJunction, body);
        highOut = high.processJunction(in.metalJunction, attack);
    }
    void storeTo(CymbalVoice& v) const {
        v.lowStage = low;
        v.midStage = mid;
        v.highStage = high;
    }
    DriveStage low, mid, high;
};

// One sample after another: the envelopes, the three stages under them, the low stage's
// low-pass and the mix.
template <class Stages>
inline void runCymbal(CymbalVoice& __restrict v, Stages& stages, const SharedSignals* __restrict in,
                      const double* __restrict level, double* __restrict out, int frames) {
    // The body's first stage and the tail's source fall to 0 side by side, the body's second
    // stage and the tail's smoothing follow them side by side (dsp::decay and dsp::smooth).
    dsp::Pair falls = {v.fall1, v.tailSource};
    const dsp::Pair fallRates = {v.fall1Rate, v.tailSourceRate};
    dsp::Pair follows = {v.fall2, v.tailSmooth};
    const dsp::Pair followRates = {v.fall2Rate, v.tailSmoothRate};
    for (int f = 0; f < frames; ++f) {
        if (dsp::countdownDue(v.countdown)) {
            v.attackTarget = 0.0;
            v.attackRate = 0.0007 * v.rateFactor;
        }
        v.countdown -= 1.0;

        double mid = 0.0;
        stages.step(in[f], v.tail, v.body, v.attack, v.low, mid, v.high);
        v.lowState = v.lowState * v.lowA + (1.0 - v.lowA) * v.low;
        v.mid = 2.4 * mid;

        dsp::smooth(v.attack, v.attackTarget, v.attackRate);
        falls = falls - (falls * fallRates + dsp::kEpsilon);
        follows = follows - ((follows - falls) * followRates + dsp::kEpsilon);
        const double fall2 = follows[0];
        dsp::smooth(v.fall3, fall2, v.fall3Rate);
        v.body = v.fall3 + fall2;
        v.tail = std::max(follows[1] - 0.01, 0.0);

        out[f] = (2.0 * v.high * v.tone + (1.0 - 0.5 * v.tone) * v.mid + (1.0 - 0.5 * v.tone) * v.lowState) * 0.14 *
                 v.amplitude * level[f];
    }
    v.fall1 = falls[0];
    v.tailSource = falls[1];
    v.fall2 = follows[0];
    v.tailSmooth = follows[1];
}

[[gnu::noinline, gnu::flatten]] void runOneByOne(CymbalVoice& v, const SharedSignals* in, const double* level,
                                                 double* out, int frames) {
    StagesOneByOne stages(v);
    runCymbal(v, stages, in, level, out, frames);
    stages.storeTo(v);
}

#if defined(VORLATEK_ENGINE_WIDE)
// The three stages side by side: low, mid and high in lanes 0, 1 and 2.
class StagesInLanes {
public:
    [[VORLATEK_WIDE_LOOP]] explicit StagesInLanes(CymbalVoice& v)
        : stages_{&v.lowStage, &v.midStage, &v.highStage}, lanes_(stages_, 3) {}

    [[VORLATEK_WIDE_LOOP]] void step(const SharedSignals& in, double tail, double body, double attack, double& lowOut,
                                     double& midOut, double& highOut) {
        const __m256d j = _mm256_set_pd(in.metalJunction, in.metalJunction, in.metalJunction, in.cymbalLowJunction);
        const __m256d y = lanes_.step(j, _mm256_set_pd(attack, attack, body, tail));
        lowOut = DriveLanes::lane0(y);
        midOut = DriveLanes::lane1(y);
        highOut = DriveLanes::lane2(y);
    }
    [[VORLATEK_WIDE_LOOP]] void storeTo(CymbalVoice&) const { lanes_.storeTo(stages_, 3); }

private:
    DriveStage* stages_[3];
    DriveLanes lanes_;
};

[[gnu::noinline, gnu::flatten, VORLATEK_WIDE_LOOP]] void runInLanes(CymbalVoice& v, const SharedSignals* in,
                                                                     const double* level, double* out, int frames) {
    StagesInLanes stages(v);
    runCymbal(v, stages, in, level, out, frames);
    stages.storeTo(v);
}
#endif

}  // namespace

void CymbalVoice::stepRun(const SharedSignals* in, const double* level, double* out, int frames) {
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) return runInLanes(*this, in, level, out, frames);
#endif
    runOneByOne(*this, in, level, out, frames);
}

}  // namespace vorlatek
