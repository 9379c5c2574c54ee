#include "engine/CymbalVoice.h"

#include "engine/DspMath.h"
#include "engine/ProcessorFeatures.h"

#include <algorithm>
#include <cmath>

#if defined(VORLATEK_ENGINE_WIDE)
#include <immintrin.h>
#endif

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
    void step(const SharedSignals& in, double tail, double body, double attack, double& lowOut,
                                     double& midOut, double& highOut) {
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
        dsp::decay(v.fall1, v.fall1Rate);
        dsp::smooth(v.fall2, v.fall1, v.fall2Rate);
        dsp::smooth(v.fall3, v.fall2, v.fall3Rate);
        v.body = v.fall3 + v.fall2;
        dsp::decay(v.tailSource, v.tailSourceRate);
        dsp::smooth(v.tailSmooth, v.tailSource, v.tailSmoothRate);
        v.tail = std::max(v.tailSmooth - 0.01, 0.0);

        out[f] = (2.0 * v.high * v.tone + (1.0 - 0.5 * v.tone) * v.mid + (1.0 - 0.5 * v.tone) * v.lowState) * 0.14 *
                 v.amplitude * level[f];
    }
}

[[gnu::noinline, gnu::flatten]] void runOneByOne(CymbalVoice& v, const SharedSignals* in, const double* level, double* out,
                                   int frames) {
    StagesOneByOne stages(v);
    runCymbal(v, stages, in, level, out, frames);
    stages.storeTo(v);
}

#if defined(VORLATEK_ENGINE_WIDE)
// The three stages side by side: low, mid and high in lanes 0, 1 and 2 (lane 3 repeats the
// high one and is never read). Each lane takes DriveStage's steps in the same order, with no
// multiply-add, so it rounds as the stage alone does.
class StagesInLanes {
public:
    [[VORLATEK_WIDE_LOOP]] explicit StagesInLanes(const CymbalVoice& v) {
        const DriveStage* s[4] = {&v.lowStage, &v.midStage, &v.highStage, &v.highStage};
        const auto lanes = [&](auto field) { return _mm256_set_pd(field(*s[3]), field(*s[2]), field(*s[1]), field(*s[0])); };
        gain_ = lanes([](const DriveStage& d) { return d.shape.gain; });
        weight_ = lanes([](const DriveStage& d) { return d.shape.weight; });
        negative_ = lanes([](const DriveStage& d) { return d.shape.negativeFactor; });
        outputScale_ = lanes([](const DriveStage& d) { return d.shape.outputScale; });
        retain_ = lanes([](const DriveStage& d) { return d.retain; });
        scale_ = lanes([](const DriveStage& d) { return d.scale; });
        accumulator_ = lanes([](const DriveStage& d) { return d.accumulator; });
        value_ = lanes([](const DriveStage& d) { return d.value; });
        b0_ = lanes([](const DriveStage& d) { return d.highPass.b0; });
        b1_ = lanes([](const DriveStage& d) { return d.highPass.b1; });
        b2_ = lanes([](const DriveStage& d) { return d.highPass.b2; });
        a1_ = lanes([](const DriveStage& d) { return d.highPass.a1; });
        a2_ = lanes([](const DriveStage& d) { return d.highPass.a2; });
        x1_ = lanes([](const DriveStage& d) { return d.highPass.x1; });
        x2_ = lanes([](const DriveStage& d) { return d.highPass.x2; });
        y1_ = lanes([](const DriveStage& d) { return d.highPass.y1; });
        y2_ = lanes([](const DriveStage& d) { return d.highPass.y2; });
    }

    [[VORLATEK_WIDE_LOOP]] void step(const SharedSignals& in, double tail, double body,
                                                         double attack, double& lowOut, double& midOut,
                                                         double& highOut) {
        const __m256d j = _mm256_set_pd(in.metalJunction, in.metalJunction, in.metalJunction, in.cymbalLowJunction);
        const __m256d e = _mm256_set_pd(attack, attack, body, tail);
        // u = k·j·e;  acc ← w·u + (0.01·e³ + 0.05)·e + retain·acc;  acc < 0: f·acc
        const __m256d u = _mm256_mul_pd(_mm256_mul_pd(gain_, j), e);
        const __m256d cube = _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(0.01), e), e), e);
        const __m256d lift = _mm256_mul_pd(_mm256_add_pd(cube, _mm256_set1_pd(0.05)), e);
        const __m256d sum = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(weight_, u), lift),
                                          _mm256_mul_pd(retain_, accumulator_));
        accumulator_ = _mm256_max_pd(_mm256_mul_pd(negative_, sum), sum);  // NaN keeps the sum, as std::max
        value_ = _mm256_mul_pd(_mm256_mul_pd(scale_, accumulator_), outputScale_);
        // The high-passes: y = b0·x + b1·x1 + b2·x2 − a1·y1 − a2·y2 + ε.
        __m256d y = _mm256_add_pd(_mm256_mul_pd(b0_, value_), _mm256_mul_pd(b1_, x1_));
        y = _mm256_add_pd(y, _mm256_mul_pd(b2_, x2_));
        y = _mm256_sub_pd(y, _mm256_mul_pd(a1_, y1_));
        y = _mm256_sub_pd(y, _mm256_mul_pd(a2_, y2_));
        y = _mm256_add_pd(y, _mm256_set1_pd(dsp::kEpsilon));
        x2_ = x1_;
        x1_ = value_;
        y2_ = y1_;
        y1_ = y;
        const __m128d lowMid = _mm256_castpd256_pd128(y);
        lowOut = _mm_cvtsd_f64(lowMid);
        midOut = _mm_cvtsd_f64(_mm_unpackhi_pd(lowMid, lowMid));
        highOut = _mm_cvtsd_f64(_mm256_extractf128_pd(y, 1));
    }

    [[VORLATEK_WIDE_LOOP]] void storeTo(CymbalVoice& v) const {
        alignas(32) double accumulator[4], value[4], x1[4], x2[4], y1[4], y2[4];
        _mm256_store_pd(accumulator, accumulator_);
        _mm256_store_pd(value, value_);
        _mm256_store_pd(x1, x1_);
        _mm256_store_pd(x2, x2_);
        _mm256_store_pd(y1, y1_);
        _mm256_store_pd(y2, y2_);
        DriveStage* s[3] = {&v.lowStage, &v.midStage, &v.highStage};
        for (int k = 0; k < 3; ++k) {
            s[k]->accumulator = accumulator[k];
            s[k]->value = value[k];
            s[k]->highPass.x1 = x1[k];
            s[k]->highPass.x2 = x2[k];
            s[k]->highPass.y1 = y1[k];
            s[k]->highPass.y2 = y2[k];
        }
    }

private:
    __m256d gain_, weight_, negative_, outputScale_, retain_, scale_, accumulator_, value_;
    __m256d b0_, b1_, b2_, a1_, a2_, x1_, x2_, y1_, y2_;
};

[[gnu::noinline, gnu::flatten, VORLATEK_WIDE_LOOP]] void runInLanes(CymbalVoice& v, const SharedSignals* in, const double* level,
                                                      double* out, int frames) {
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
