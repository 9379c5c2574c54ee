#include "engine/MetalSource.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorlatek {

namespace {

constexpr double kPeriodSeconds[MetalSource::kOscillators] = {
    0.0018399288200720838, 0.0012399256247268688, 0.001960016038552521,
    0.003419972663353988,  0.0027647222439515337, 0.00475963826749167,
};
constexpr double kDuty[MetalSource::kOscillators] = {0.4375, 0.4354, 0.4336, 0.4289, 0.4339, 0.4197};

}  // namespace

void MetalSource::setSampleRate(double rate) {
    sampleRate = rate;
    for (int k = 0; k < kOscillators; ++k) {
        Oscillator& o = oscillators[k];
        o.period = rate * kPeriodSeconds[k];
        o.threshold = std::trunc(o.period * kDuty[k]);
        o.phase = 0.0;
        o.square = 0.5;
    }
    tuneBands(7117.0, 3553.0);
    band1.reset();
    band2.reset();
    band1Output = 0.0;
    band2Output = 0.0;
    sum = 0.0;
}

void MetalSource::setFilterFrequency(double x) { tuneBands(7117.0 * (x + 0.5), 3553.0 * (x + 0.5)); }

// A band centre at or past half the sample rate (or below 0) turns the band-pass unstable,
// so centres are kept between 1 Hz and 0.49·sr. At 44.1 kHz and above the knob never
// reaches that limit; at low rates the upper band stays just under the top of the band.
void MetalSource::tuneBands(double centre1, double centre2) {
    const double highest = 0.49 * sampleRate;
    centre1 = std::clamp(centre1, 1.0, highest);
    centre2 = std::clamp(centre2, 1.0, highest);
    const double w1 = dsp::Biquad::omega(centre1, sampleRate);
    band1.setBandPass(std::cos(w1), 0.125 * std::sin(w1));
    const double w2 = dsp::Biquad::omega(centre2, sampleRate);
    band2.setBandPass(std::cos(w2), 0.2 * std::sin(w2));
}

void MetalSource::step() {
    SharedSignals signals;
    render(&signals, 1);
}

// The oscillators step side by side, without a branch: their edges and wraps fall at no
// predictable sample. Every value is exact but the band-passes': the squares are ±0.5, their
// sums halves, and the phases step as they always did. The states stay in registers through
// the run.
void MetalSource::render(SharedSignals* out, int frames) {
    dsp::Biquad upper = band1, lower = band2;
    double total = sum;
#if defined(__SSE2__)
    constexpr int kPairs = kOscillators / 2;
    __m128d phase[kPairs], period[kPairs], threshold[kPairs], square[kPairs];
    for (int p = 0; p < kPairs; ++p) {
        const Oscillator& a = oscillators[2 * p];
        const Oscillator& b = oscillators[2 * p + 1];
        phase[p] = _mm_set_pd(b.phase, a.phase);
        period[p] = _mm_set_pd(b.period, a.period);
        threshold[p] = _mm_set_pd(b.threshold, a.threshold);
        square[p] = _mm_set_pd(b.square, a.square);
    }
    const __m128d one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5);
    for (int f = 0; f < frames; ++f) {
        for (int p = 0; p < kPairs; ++p) {
            // +0.5 above the threshold, −0.5 below; then one sample on, wrapping past the period.
            square[p] = _mm_sub_pd(_mm_and_pd(_mm_cmpgt_pd(phase[p], threshold[p]), one), half);
            const __m128d wrap = _mm_and_pd(_mm_cmpgt_pd(phase[p], period[p]), period[p]);
            phase[p] = _mm_sub_pd(_mm_add_pd(phase[p], one), wrap);
        }
        const __m128d pair = _mm_add_pd(_mm_add_pd(square[0], square[1]), square[2]);
        total = 0.5 * (_mm_cvtsd_f64(pair) + _mm_cvtsd_f64(_mm_unpackhi_pd(pair, pair)));
        out[f].metalBand1 = upper.process(total);
        out[f].metalBand2 = lower.process(total);
    }
    for (int p = 0; p < kPairs; ++p) {
        _mm_storel_pd(&oscillators[2 * p].phase, phase[p]);
        _mm_storeh_pd(&oscillators[2 * p + 1].phase, phase[p]);
        _mm_storel_pd(&oscillators[2 * p].square, square[p]);
        _mm_storeh_pd(&oscillators[2 * p + 1].square, square[p]);
    }
#else
    for (int f = 0; f < frames; ++f) {
        total = 0.0;
        for (Oscillator& o : oscillators) {
            o.square = o.phase > o.threshold ? 0.5 : -0.5;
            o.phase = o.phase > o.period ? o.phase + 1.0 - o.period : o.phase + 1.0;
            total += o.square;
        }
        total *= 0.5;
        out[f].metalBand1 = upper.process(total);
        out[f].metalBand2 = lower.process(total);
    }
#endif
    sum = total;
    band1 = upper;
    band2 = lower;
    band1Output = upper.y1;
    band2Output = lower.y1;
}

}  // namespace vorlatek
