#pragma once
// The 17-tap output low-pass of the metallic and noisy voices: a Blackman-windowed sinc
// with its cut-off at 0.37·sr, which takes the edge off aliasing square waves and noise.
// The output is Σ c[k]·h[k] over the 17 previous inputs (h[0] the newest), so it lags the
// input by one sample more than the filter itself. The history is a ring in time order stored
// twice over, so that the 17 newest inputs always lie in one contiguous window, oldest first:
// the window a run of frames starts from, copied as it stands.

#include "engine/ProcessorFeatures.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define VORLATEK_FIR_AVX2 1
#endif

namespace vorlatek::dsp {

class OutputFir {
public:
    static constexpr int kTaps = 17;

    OutputFir();
    // Recomputes the coefficients (they do not depend on the rate) and clears the history.
    void reset();
    double process(double x) {
        const double sum = dot(history_.data() + newest_);
        newest_ = newest_ == kLastNewest ? kFirstNewest : newest_ + 1;
        history_[newest_] = x;
        history_[newest_ >= kTaps ? newest_ - kTaps : newest_ + kTaps] = x;
        output_ = sum;
        return sum;
    }
    // A run of frames where the caller keeps the run's inputs at window[kTaps .. kTaps +
    // frames), with room for the history before them: openWindow fills that in, then
    // filterWindow puts in out[f] what process(in[f]) would return in turn, to the last bit.
    // out may be the window itself: output f only goes where nothing from f on reads.
    // Two frames (four where the processor has AVX2, eight where it has AVX-512) are worked out
    // side by side, each summing its products in the same order as process(). Nothing is
    // copied on the way.
    void openWindow(double* window) const {
        for (int k = 0; k < kTaps; ++k) window[k] = history_[newest_ - (kTaps - 1) + k];
    }
    void filterWindow(const double* window, double* out, int frames);
    // Output f alone of an open window, summed as process() sums it.
    double frameAt(const double* window, int f) const {
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) sum += coefficients_[k] * window[kTaps - 1 + f - k];
        return sum;
    }
    // After a caller worked out out[0..frames) from an open window itself (each output summed
    // as process() sums it): the history and the output move on as filterWindow leaves them.
    void closeWindow(const double* window, const double* out, int frames);
    double output() const { return output_; }
    double coefficient(int k) const { return coefficients_[k]; }
    // h[k]: the k-th most recent input (k = 0 the newest).
    double history(int k) const { return history_[newest_ - k]; }

private:
    // Where the newest input lies in history_: the window behind it, newest_ − 16 .. newest_,
    // stays inside the array; each step moves it on by one, wrapping from the last to the first.
    static constexpr int kFirstNewest = kTaps - 1;
    static constexpr int kLastNewest = 2 * kTaps - 2;

    // Σ c[k]·h[k] with h[k] = newest[−k], added up one term at a time from k = 0 to 16. With
    // SSE2 the products are formed two at a time (h[k + 1] and h[k] lie side by side, against
    // the coefficients reversed) and still added one by one: the same sum to the bit.
    double dot(const double* newest) const {
#if defined(__SSE2__)
        const double* oldest = newest - (kTaps - 1);  // oldest[j] = h[16 − j]
        __m128d sum = _mm_setzero_pd();
        for (int k = 0; k + 1 < kTaps; k += 2) {
            const int j = kTaps - 2 - k;  // h[k + 1] and h[k]
            const __m128d products = _mm_mul_pd(_mm_loadu_pd(oldest + j), _mm_loadu_pd(&reversed_[j]));
            sum = _mm_add_sd(sum, _mm_unpackhi_pd(products, products));
            sum = _mm_add_sd(sum, products);
        }
        sum = _mm_add_sd(sum, _mm_mul_sd(_mm_load_sd(oldest), _mm_load_sd(&reversed_[0])));
        return _mm_cvtsd_f64(sum);
#else
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) sum += coefficients_[k] * newest[-k];
        return sum;
#endif
    }

#if defined(VORLATEK_ENGINE_WIDE)
    // Frames f, f + 1, ... of the run, eight side by side, for as long as eight are left;
    // returns the first frame not done. Where the processor has AVX-512.
    [[VORLATEK_WIDE_LOOP]] int processOctets(const double* window, double* out, int f, int frames) const {
        // Four octets at a time: each one's sum is a chain of 17 additions, and the four
        // chains overlap.
        for (; f + 31 < frames; f += 32) {
            const double* h = window + kTaps - 1 + f;
            __m512d sum[4] = {_mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd()};
            for (int k = 0; k < kTaps; ++k) {
                const __m512d c = _mm512_set1_pd(coefficients_[k]);
                for (int o = 0; o < 4; ++o) sum[o] = _mm512_add_pd(sum[o], _mm512_mul_pd(_mm512_loadu_pd(h + 8 * o - k), c));
            }
            for (int o = 0; o < 4; ++o) _mm512_storeu_pd(out + f + 8 * o, sum[o]);
        }
        for (; f + 7 < frames; f += 8) {
            const double* h = window + kTaps - 1 + f;
            __m512d sum = _mm512_setzero_pd();
            for (int k = 0; k < kTaps; ++k)
                sum = _mm512_add_pd(sum, _mm512_mul_pd(_mm512_loadu_pd(h - k), _mm512_set1_pd(coefficients_[k])));
            _mm512_storeu_pd(out + f, sum);
        }
        return f;
    }
#endif
#if defined(VORLATEK_FIR_AVX2)
    // The same four side by side, where the processor has AVX2. Multiplies and adds (no fused
    // multiply-add), as process() does.
    [[gnu::target("avx2")]] int processQuads(const double* window, double* out, int f, int frames) const {
        for (; f + 3 < frames; f += 4) {
            const double* h = window + kTaps - 1 + f;
            __m256d sum = _mm256_setzero_pd();
            for (int k = 0; k < kTaps; ++k)
                sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_loadu_pd(h - k), _mm256_load_pd(&coefficientQuads_[4 * k])));
            _mm256_storeu_pd(out + f, sum);
        }
        return f;
    }
    alignas(32) std::array<double, 4 * kTaps> coefficientQuads_{};  // each coefficient four times
#endif

    std::array<double, kTaps> coefficients_{};
    std::array<double, kTaps> reversed_{};  // c[16 − j]
    alignas(16) std::array<double, 2 * kTaps> coefficientPairs_{};  // each coefficient twice
    std::array<double, 2 * kTaps> history_{};
    int newest_ = kFirstNewest;
    double output_ = 0.0;
};

}  // namespace vorlatek::dsp
