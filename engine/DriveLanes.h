#pragma once
// Up to four drive stages (DriveStage.h) with their high-passes side by side in the lanes of
// one AVX register, for loops built for AVX-512 (VORLATEK_WIDE_LOOP): the cymbal's three, or
// both hi-hats' when they sound together. Each lane takes the stage's steps in the same order,
// with no multiply-add, so that it rounds as the stage alone does; lanes beyond the stages
// given repeat the last one and are never stored.

#include "engine/DriveStage.h"
#include "engine/DspMath.h"
#include "engine/ProcessorFeatures.h"

#if defined(VORLATEK_ENGINE_WIDE)
#include <immintrin.h>

namespace vorlatek {

class DriveLanes {
public:
    static constexpr int kLanes = 4;

    // The states and constants of stages[0..count), count 1..4.
    [[VORLATEK_WIDE_LOOP]] DriveLanes(const DriveStage* const* stages, int count) {
        const DriveStage* s[kLanes];
        for (int k = 0; k < kLanes; ++k) s[k] = stages[k < count ? k : count - 1];
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

    // One sample of every stage, DriveStage::processJunction lane by lane: the junction's
    // outputs and the envelopes in, the high-passes' outputs out.
    [[VORLATEK_WIDE_LOOP]] __m256d step(__m256d junction, __m256d envelope) {
        const __m256d e = envelope;
        // u = k·j·e;  acc ← w·u + (0.01·e³ + 0.05)·e + retain·acc;  acc < 0: f·acc
        const __m256d u = _mm256_mul_pd(_mm256_mul_pd(gain_, junction), e);
        const __m256d cube = _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(_mm256_set1_pd(0.01), e), e), e);
        const __m256d lift = _mm256_mul_pd(_mm256_add_pd(cube, _mm256_set1_pd(0.05)), e);
        const __m256d sum =
            _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(weight_, u), lift), _mm256_mul_pd(retain_, accumulator_));
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
        return y;
    }

    // Back into stages[0..count).
    [[VORLATEK_WIDE_LOOP]] void storeTo(DriveStage* const* stages, int count) const {
        alignas(32) double accumulator[kLanes], value[kLanes], x1[kLanes], x2[kLanes], y1[kLanes], y2[kLanes];
        _mm256_store_pd(accumulator, accumulator_);
        _mm256_store_pd(value, value_);
        _mm256_store_pd(x1, x1_);
        _mm256_store_pd(x2, x2_);
        _mm256_store_pd(y1, y1_);
        _mm256_store_pd(y2, y2_);
        for (int k = 0; k < count; ++k) {
            DriveStage& s = *stages[k];
            s.accumulator = accumulator[k];
            s.value = value[k];
            s.highPass.x1 = x1[k];
            s.highPass.x2 = x2[k];
            s.highPass.y1 = y1[k];
            s.highPass.y2 = y2[k];
        }
    }

    // Lanes 0, 1 and 2 of v.
    [[VORLATEK_WIDE_LOOP]] static double lane0(__m256d v) { return _mm256_cvtsd_f64(v); }
    [[VORLATEK_WIDE_LOOP]] static double lane1(__m256d v) {
        const __m128d low = _mm256_castpd256_pd128(v);
        return _mm_cvtsd_f64(_mm_unpackhi_pd(low, low));
    }
    [[VORLATEK_WIDE_LOOP]] static double lane2(__m256d v) { return _mm_cvtsd_f64(_mm256_extractf128_pd(v, 1)); }

private:
    __m256d gain_, weight_, negative_, outputScale_, retain_, scale_, accumulator_, value_;
    __m256d b0_, b1_, b2_, a1_, a2_, x1_, x2_, y1_, y2_;
};

}  // namespace vorlatek
#endif
