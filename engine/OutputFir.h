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
    // `frames` samples at once: out[f] is what process(in[f]) would return in turn, to the
    // last bit; each output also goes to follow(out[f]), in order. Two frames (four where the
    // processor has AVX2, eight where it has AVX-512) are worked out side by side, each
    // summing its products in the same order as process().
    template <class Follow>
    void processRun(const double* in, double* out, int frames, Follow& follow);
    // The same where the caller keeps the run's inputs at window[kTaps .. kTaps + frames), with
    // room for the history before them (which this fills in): nothing is copied on the way.
    template <class Follow>
    void processWindow(double* window, double* out, int frames, Follow& follow);
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

    // How many frames processRun takes at a time (into a window of its own).
    static constexpr int kRunChunk = 64;

#if defined(VORLATEK_ENGINE_WIDE)
    // The same eight side by side, where the processor has AVX-512.
    template <class Follow>
    [[VORLATEK_WIDE_LOOP]] int processOctets(const double* window, double* out, int f, int chunk, Follow& follow) const {
        // Four octets at a time: each one's sum is a chain of 17 additions, and the four
        // chains overlap.
        for (; f + 31 < chunk; f += 32) {
            const double* h = window + kTaps - 1 + f;
            __m512d sum[4] = {_mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd()};
            for (int k = 0; k < kTaps; ++k) {
                const __m512d c = _mm512_set1_pd(coefficients_[k]);
                for (int o = 0; o < 4; ++o) sum[o] = _mm512_add_pd(sum[o], _mm512_mul_pd(_mm512_loadu_pd(h + 8 * o - k), c));
            }
            for (int o = 0; o < 4; ++o) _mm512_storeu_pd(out + f + 8 * o, sum[o]);
            for (int q = 0; q < 32; ++q) follow(out[f + q]);
        }
        for (; f + 7 < chunk; f += 8) {
            const double* h = window + kTaps - 1 + f;
            __m512d sum = _mm512_setzero_pd();
            for (int k = 0; k < kTaps; ++k)
                sum = _mm512_add_pd(sum, _mm512_mul_pd(_mm512_loadu_pd(h - k), _mm512_set1_pd(coefficients_[k])));
            _mm512_storeu_pd(out + f, sum);
            for (int q = 0; q < 8; ++q) follow(out[f + q]);
        }
        return f;
    }
#endif
#if defined(VORLATEK_FIR_AVX2)
    // Frames f, f + 1, ... of a chunk, four side by side, for as long as four are left;
    // returns the first frame not done. Multiplies and adds (no fused multiply-add), as
    // process() does.
    template <class Follow>
    [[gnu::target("avx2")]] int processQuads(const double* window, double* out, int f, int chunk, Follow& follow) const {
        for (; f + 3 < chunk; f += 4) {
            const double* h = window + kTaps - 1 + f;
            __m256d sum = _mm256_setzero_pd();
            for (int k = 0; k < kTaps; ++k)
                sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_loadu_pd(h - k), _mm256_load_pd(&coefficientQuads_[4 * k])));
            _mm256_storeu_pd(out + f, sum);
            for (int q = 0; q < 4; ++q) follow(out[f + q]);
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

template <class Follow>
void OutputFir::processRun(const double* in, double* out, int frames, Follow& follow) {
    alignas(16) double window[kTaps + kRunChunk];
    while (frames > 0) {
        const int chunk = frames < kRunChunk ? frames : kRunChunk;
        for (int f = 0; f < chunk; ++f) window[kTaps + f] = in[f];
        processWindow(window, out, chunk, follow);
        in += chunk;
        out += chunk;
        frames -= chunk;
    }
}

template <class Follow>
void OutputFir::processWindow(double* window, double* out, int frames, Follow& follow) {
    if (frames <= 0) return;
    // The history oldest first, then the input: for frame f, h[k] is window[kTaps − 1 + f − k].
    for (int k = 0; k < kTaps; ++k) window[k] = history_[newest_ - (kTaps - 1) + k];
    Follow local = follow;
    int f = 0;
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) f = processOctets(window, out, f, frames, local);
#endif
#if defined(VORLATEK_FIR_AVX2)
    if (cpu::hasAvx2()) f = processQuads(window, out, f, frames, local);
#endif
#if defined(__SSE2__)
    for (; f + 1 < frames; f += 2) {
        const double* h = window + kTaps - 1 + f;
        __m128d sum = _mm_setzero_pd();
        for (int k = 0; k < kTaps; ++k)
            sum = _mm_add_pd(sum, _mm_mul_pd(_mm_loadu_pd(h - k), _mm_load_pd(&coefficientPairs_[2 * k])));
        _mm_storeu_pd(out + f, sum);
        local(out[f]);
        local(out[f + 1]);
    }
#endif
    for (; f < frames; ++f) {
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) sum += coefficients_[k] * window[kTaps - 1 + f - k];
        out[f] = sum;
        local(sum);
    }
    output_ = out[frames - 1];
    // The last kTaps inputs, oldest first, end at the last place the newest can take.
    const double* last = window + frames;
    newest_ = kLastNewest;
    for (int k = 0; k < kTaps; ++k) history_[kFirstNewest + k] = last[k];
    for (int k = 1; k < kTaps; ++k) history_[k - 1] = last[k];
    history_[2 * kTaps - 1] = last[0];
    follow = local;
}

}  // namespace vorlatek::dsp
