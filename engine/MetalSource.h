#pragma once
// Six detuned square oscillators (210 to 806 Hz, unequal duty cycles) summed and sent
// through two band-passes: the metallic raw material of the cymbal and both hi-hats.
// "HH Filters Freq" moves both band centres together.

#include "engine/Biquad.h"
#include "engine/ProcessorFeatures.h"
#include "engine/SharedSignals.h"

#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(VORLATEK_ENGINE_WIDE)
#include <immintrin.h>
#endif

namespace vorlatek {

class MetalSource {
public:
    static constexpr int kOscillators = 6;

    void setSampleRate(double sampleRate);
    // x in 0..1: band centres 7117·(x + 0.5) and 3553·(x + 0.5) Hz; states are kept.
    void setFilterFrequency(double x);
    void step();
    // `frames` steps; the two band outputs of each go to out[].
    void render(SharedSignals* out, int frames);

    class Stepper;
#if defined(VORLATEK_ENGINE_WIDE)
    class OscillatorLanes;
#endif

    struct Oscillator {
        double period = 0.0;     // P, samples
        double threshold = 0.0;  // D, whole samples
        double phase = 0.0;
        double square = 0.5;
    };
    std::array<Oscillator, kOscillators> oscillators{};
    double sum = 0.0;
    dsp::Biquad band1;
    dsp::Biquad band2;
    double band1Output = 0.0;
    double band2Output = 0.0;
    double sampleRate = 44100.0;

private:
    void tuneBands(double centre1, double centre2);
};

// The source's states taken into locals (registers, in a loop) for a run of steps, then
// stored back. The oscillators step side by side without a branch: their edges and wraps
// fall at no predictable sample. Every value but the band-passes' is exact: the squares are
// ±0.5 and their sums halves, so the order of adding them does not matter.
class MetalSource::Stepper {
public:
    explicit Stepper(const MetalSource& source) : sum_(source.sum) {
#if defined(__SSE2__)
        const dsp::Biquad& u = source.band1;
        const dsp::Biquad& l = source.band2;
        b0_ = _mm_set_pd(l.b0, u.b0);
        b1_ = _mm_set_pd(l.b1, u.b1);
        b2_ = _mm_set_pd(l.b2, u.b2);
        a1_ = _mm_set_pd(l.a1, u.a1);
        a2_ = _mm_set_pd(l.a2, u.a2);
        x1_ = _mm_set_pd(l.x1, u.x1);
        x2_ = _mm_set_pd(l.x2, u.x2);
        y1_ = _mm_set_pd(l.y1, u.y1);
        y2_ = _mm_set_pd(l.y2, u.y2);
        for (int p = 0; p < kPairs; ++p) {
            const Oscillator& a = source.oscillators[2 * p];
            const Oscillator& b = source.oscillators[2 * p + 1];
            phase_[p] = _mm_set_pd(b.phase, a.phase);
            period_[p] = _mm_set_pd(b.period, a.period);
            threshold_[p] = _mm_set_pd(b.threshold, a.threshold);
            square_[p] = _mm_set_pd(b.square, a.square);
        }
#else
        upper_ = source.band1;
        lower_ = source.band2;
        oscillators_ = source.oscillators;
#endif
    }

    // One frame: the band outputs go to `out`.
    void step(SharedSignals& out) { filter(stepOscillators(), out); }

    // The oscillators' half of a frame: their sum, which filter() takes next. Over a run,
    // all the oscillator steps and then all the filter steps keep fewer states at a time,
    // so that a loop of either holds them in registers.
    double stepOscillators() {
#if defined(__SSE2__)
        const __m128d one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5);
        for (int p = 0; p < kPairs; ++p) {
            // +0.5 above the threshold, −0.5 below; then one sample on, wrapping past the period.
            square_[p] = _mm_sub_pd(_mm_and_pd(_mm_cmpgt_pd(phase_[p], threshold_[p]), one), half);
            const __m128d wrap = _mm_and_pd(_mm_cmpgt_pd(phase_[p], period_[p]), period_[p]);
            phase_[p] = _mm_sub_pd(_mm_add_pd(phase_[p], one), wrap);
        }
        const __m128d pair = _mm_add_pd(_mm_add_pd(square_[0], square_[1]), square_[2]);
        sum_ = 0.5 * (_mm_cvtsd_f64(pair) + _mm_cvtsd_f64(_mm_unpackhi_pd(pair, pair)));
#else
        double total = 0.0;
        for (Oscillator& o : oscillators_) {
            o.square = o.phase > o.threshold ? 0.5 : -0.5;
            o.phase = o.phase > o.period ? o.phase + 1.0 - o.period : o.phase + 1.0;
            total += o.square;
        }
        sum_ = 0.5 * total;
#endif
        return sum_;
    }

    // The band-passes' half of a frame, on the oscillators' sum of that frame.
    void filter(double sum, SharedSignals& out) {
#if defined(__SSE2__)
        // Both band-passes filter the same sum: the upper in the low lane, the lower in the
        // high one, each lane the Biquad's own arithmetic in its own order.
        const __m128d x = _mm_set1_pd(sum);
        __m128d y = _mm_add_pd(_mm_mul_pd(b0_, x), _mm_mul_pd(b1_, x1_));
        y = _mm_add_pd(y, _mm_mul_pd(b2_, x2_));
        y = _mm_sub_pd(y, _mm_mul_pd(a1_, y1_));
        y = _mm_sub_pd(y, _mm_mul_pd(a2_, y2_));
        y = _mm_add_pd(y, _mm_set1_pd(dsp::kEpsilon));
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        out.metalBand1 = _mm_cvtsd_f64(y);
        out.metalBand2 = _mm_cvtsd_f64(_mm_unpackhi_pd(y, y));
#else
        out.metalBand1 = upper_.process(sum);
        out.metalBand2 = lower_.process(sum);
#endif
    }

    void storeTo(MetalSource& source) const {
#if defined(__SSE2__)
        for (int p = 0; p < kPairs; ++p) {
            _mm_storel_pd(&source.oscillators[2 * p].phase, phase_[p]);
            _mm_storeh_pd(&source.oscillators[2 * p + 1].phase, phase_[p]);
            _mm_storel_pd(&source.oscillators[2 * p].square, square_[p]);
            _mm_storeh_pd(&source.oscillators[2 * p + 1].square, square_[p]);
        }
        dsp::Biquad& u = source.band1;
        dsp::Biquad& l = source.band2;
        _mm_storel_pd(&u.x1, x1_);
        _mm_storeh_pd(&l.x1, x1_);
        _mm_storel_pd(&u.x2, x2_);
        _mm_storeh_pd(&l.x2, x2_);
        _mm_storel_pd(&u.y1, y1_);
        _mm_storeh_pd(&l.y1, y1_);
        _mm_storel_pd(&u.y2, y2_);
        _mm_storeh_pd(&l.y2, y2_);
#else
        source.oscillators = oscillators_;
        source.band1 = upper_;
        source.band2 = lower_;
#endif
        source.sum = sum_;
        source.band1Output = source.band1.y1;
        source.band2Output = source.band2.y1;
    }

private:
#if defined(__SSE2__)
    static constexpr int kPairs = kOscillators / 2;
    __m128d phase_[kPairs], period_[kPairs], threshold_[kPairs], square_[kPairs];
    __m128d b0_, b1_, b2_, a1_, a2_, x1_, x2_, y1_, y2_;  // the two band-passes, lane by lane
#else
    std::array<Oscillator, kOscillators> oscillators_;
    dsp::Biquad upper_, lower_;
#endif
    double sum_;
};

#if defined(VORLATEK_ENGINE_WIDE)
// The six oscillators side by side in the lanes of one AVX-512 register (the last two lanes
// idle), for the loops built for it: the steps of Stepper::stepOscillators(), lane by lane.
// Each square is +0.5 where its phase lies above its threshold, else −0.5, so the sum of a
// frame only depends on how many lie above: it is looked up for the lanes' mask.
class MetalSource::OscillatorLanes {
public:
    [[VORLATEK_WIDE_LOOP]] explicit OscillatorLanes(const MetalSource& source) {
        alignas(64) double phase[8] = {}, period[8] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0}, threshold[8] = {};
        above_ = 0;
        for (int i = 0; i < kOscillators; ++i) {
            const Oscillator& o = source.oscillators[static_cast<std::size_t>(i)];
            phase[i] = o.phase;
            period[i] = o.period;
            threshold[i] = o.threshold;
            if (o.square > 0.0) above_ = static_cast<unsigned>(above_ | (1u << i));
        }
        phase_ = _mm512_load_pd(phase);
        period_ = _mm512_load_pd(period);
        threshold_ = _mm512_load_pd(threshold);
    }

    // One frame: the oscillators' sum, as stepOscillators() gives it.
    [[gnu::always_inline, VORLATEK_WIDE_LOOP]] double step() {
        above_ = _mm512_cmp_pd_mask(phase_, threshold_, _CMP_GT_OS) & kAllOscillators;
        const __mmask8 wrap = _mm512_cmp_pd_mask(phase_, period_, _CMP_GT_OS);
        const __m512d next = _mm512_add_pd(phase_, _mm512_set1_pd(1.0));
        phase_ = _mm512_mask_sub_pd(next, wrap, next, period_);
        return kSums[above_];
    }

    [[VORLATEK_WIDE_LOOP]] void storeTo(MetalSource& source) const {
        alignas(64) double phase[8];
        _mm512_store_pd(phase, phase_);
        for (int i = 0; i < kOscillators; ++i) {
            Oscillator& o = source.oscillators[static_cast<std::size_t>(i)];
            o.phase = phase[i];
            o.square = (above_ >> i) & 1u ? 0.5 : -0.5;
        }
        source.sum = kSums[above_];
    }

private:
    static constexpr unsigned kAllOscillators = (1u << kOscillators) - 1;
    // 0.5·(the sum of the squares) for each mask of oscillators above their thresholds.
    static constexpr std::array<double, 64> kSums = [] {
        std::array<double, 64> sums{};
        for (unsigned mask = 0; mask < 64; ++mask) sums[mask] = 0.5 * (std::popcount(mask) - 3.0);
        return sums;
    }();

    __m512d phase_, period_, threshold_;
    unsigned above_;
};
#endif

}  // namespace vorlatek
