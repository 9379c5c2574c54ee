#include "engine/OutputFir.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek::dsp {

OutputFir::OutputFir() { reset(); }

void OutputFir::reset() {
    for (int k = 0; k < kTaps; ++k) {
        const double t = static_cast<double>(k) - 8.5;
        const double window = 0.42 - 0.5 * std::cos(kTwoPi * k / 17.0) + 0.08 * std::cos(2.0 * kTwoPi * k / 17.0);
        coefficients_[k] = std::sin(0.74 * kPi * t) / (kPi * t) * window;
        coefficientPairs_[2 * k] = coefficients_[k];
        coefficientPairs_[2 * k + 1] = coefficients_[k];
#if defined(VORLATEK_FIR_AVX2)
        for (int q = 0; q < 4; ++q) coefficientQuads_[4 * k + q] = coefficients_[k];
#endif
    }
    for (int j = 0; j < kTaps; ++j) reversed_[j] = coefficients_[kTaps - 1 - j];
    history_.fill(0.0);
    newest_ = kFirstNewest;
    output_ = 0.0;
}

void OutputFir::filterWindow(const double* window, double* out, int frames) {
    if (frames <= 0) return;
    // For frame f, h[k] is window[kTaps − 1 + f − k].
    int f = 0;
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) f = processOctets(window, out, f, frames);
#endif
#if defined(VORLATEK_FIR_AVX2)
    if (cpu::hasAvx2()) f = processQuads(window, out, f, frames);
#endif
#if defined(__SSE2__)
    for (; f + 1 < frames; f += 2) {
        const double* h = window + kTaps - 1 + f;
        __m128d sum = _mm_setzero_pd();
        for (int k = 0; k < kTaps; ++k)
            sum = _mm_add_pd(sum, _mm_mul_pd(_mm_loadu_pd(h - k), _mm_load_pd(&coefficientPairs_[2 * k])));
        _mm_storeu_pd(out + f, sum);
    }
#endif
    for (; f < frames; ++f) out[f] = frameAt(window, f);
    closeWindow(window, out, frames);
}

void OutputFir::closeWindow(const double* window, const double* out, int frames) {
    if (frames <= 0) return;
    output_ = out[frames - 1];
    // The last kTaps inputs, oldest first, end at the last place the newest can take.
    const double* last = window + frames;
    newest_ = kLastNewest;
    for (int k = 0; k < kTaps; ++k) history_[kFirstNewest + k] = last[k];
    for (int k = 1; k < kTaps; ++k) history_[k - 1] = last[k];
    history_[2 * kTaps - 1] = last[0];
}

}  // namespace vorlatek::dsp
