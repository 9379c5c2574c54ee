#include "engine/FastMath.h"

#if defined(VORLATEK_ENGINE_WIDE) && !defined(VORLATEK_EXACT_MATHS)
#include <immintrin.h>

// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used, and then warn
// about it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace vorlatek::dsp::fastmath {

// fastExp's steps lane by lane, in the same order, with no multiply-add: each lane rounds as
// the single call does.
[[VORLATEK_WIDE_LOOP]] void expEachWide(const double* x, double* y, int n) {
    const __m512d low = _mm512_set1_pd(-708.0), high = _mm512_set1_pd(709.0);
    const __m512d magic = _mm512_set1_pd(kRoundMagic);
    const __m512d scaleIn = _mm512_set1_pd(k64OverLn2);
    const __m512d hi = _mm512_set1_pd(kLn2Over64Hi), lo = _mm512_set1_pd(kLn2Over64Lo);
    const __m512d sixth = _mm512_set1_pd(1.0 / 6.0), half = _mm512_set1_pd(0.5);
    const __m512d c24 = _mm512_set1_pd(1.0 / 24.0), c120 = _mm512_set1_pd(1.0 / 120.0);
    const __m512i mask = _mm512_set1_epi64(63);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m512d v = _mm512_loadu_pd(x + i);
        // max(v, −708) and min(v, 709) with the operands so that NaN passes through, as in
        // std::max and std::min.
        v = _mm512_max_pd(low, v);
        v = _mm512_min_pd(high, v);
        const __m512d t = _mm512_add_pd(_mm512_mul_pd(v, scaleIn), magic);
        const __m512d k = _mm512_sub_pd(t, magic);
        const __m512d r = _mm512_sub_pd(_mm512_sub_pd(v, _mm512_mul_pd(k, hi)), _mm512_mul_pd(k, lo));
        const __m512i bits = _mm512_castpd_si512(t);
        const __m512i entry = _mm512_i64gather_epi64(_mm512_and_si512(bits, mask), kExpScaleBits, 8);
        const __m512d scale = _mm512_castsi512_pd(_mm512_add_epi64(entry, _mm512_slli_epi64(bits, 46)));
        const __m512d r2 = _mm512_mul_pd(r, r);
        const __m512d inner = _mm512_add_pd(_mm512_add_pd(half, _mm512_mul_pd(r, sixth)),
                                            _mm512_mul_pd(r2, _mm512_add_pd(c24, _mm512_mul_pd(r, c120))));
        const __m512d tail = _mm512_add_pd(r, _mm512_mul_pd(r2, inner));
        _mm512_storeu_pd(y + i, _mm512_add_pd(scale, _mm512_mul_pd(scale, tail)));
    }
    for (; i < n; ++i) y[i] = fastExp(x[i]);
}

}  // namespace vorlatek::dsp::fastmath

#pragma GCC diagnostic pop
#endif
