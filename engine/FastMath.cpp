#include "engine/FastMath.h"

#if defined(VORLATEK_ENGINE_WIDE) && !defined(VORLATEK_EXACT_MATHS)
#include <immintrin.h>

// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used, and then warn
// about it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace vorlatek::dsp::fastmath {

// sinOfReduced lane by lane.
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline __m512d sinOfReducedWide(__m512d r, __m512d r2) {
    const __m512d r4 = _mm512_mul_pd(r2, r2);
    const __m512d near = _mm512_add_pd(_mm512_set1_pd(-1.0 / 6.0), _mm512_mul_pd(r2, _mm512_set1_pd(1.0 / 120.0)));
    const __m512d far = _mm512_add_pd(_mm512_set1_pd(-1.0 / 5040.0), _mm512_mul_pd(r2, _mm512_set1_pd(1.0 / 362880.0)));
    return _mm512_add_pd(r, _mm512_mul_pd(_mm512_mul_pd(r, r2), _mm512_add_pd(near, _mm512_mul_pd(r4, far))));
}

// fastSin's steps lane by lane, in the same order, with no multiply-add. Lanes of small angles
// take the polynomial alone, as the single call does; the others the reduction and the table.
[[VORLATEK_WIDE_LOOP]] void sinEachWide(const double* x, double* y, int n) {
    const __m512d magic = _mm512_set1_pd(kRoundMagic);
    const __m512d scaleIn = _mm512_set1_pd(k32OverPi);
    const __m512d a = _mm512_set1_pd(kPiOver32A), b = _mm512_set1_pd(kPiOver32B), c = _mm512_set1_pd(kPiOver32C);
    const __m512d smallBelow = _mm512_set1_pd(kPiOver32A * 0.5), limit = _mm512_set1_pd(kSineLimit);
    const __m512i mask = _mm512_set1_epi64(63), cosineOffset = _mm512_set1_epi64(16);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m512d v = _mm512_loadu_pd(x + i);
        const __m512d magnitude = _mm512_abs_pd(v);
        const __mmask8 small = _mm512_cmp_pd_mask(magnitude, smallBelow, _CMP_LT_OQ);
        const __mmask8 inRange = _mm512_cmp_pd_mask(magnitude, limit, _CMP_LT_OQ);
        const __m512d polynomial = sinOfReducedWide(v, _mm512_mul_pd(v, v));
        const __m512d u = _mm512_maskz_mov_pd(inRange, v);  // 0 beyond the limit and for NaN
        const __m512d t = _mm512_add_pd(_mm512_mul_pd(u, scaleIn), magic);
        const __m512d k = _mm512_sub_pd(t, magic);
        const __m512d r = _mm512_sub_pd(_mm512_sub_pd(_mm512_sub_pd(u, _mm512_mul_pd(k, a)), _mm512_mul_pd(k, b)),
                                        _mm512_mul_pd(k, c));
        const __m512i j = _mm512_and_si512(_mm512_castpd_si512(t), mask);
        const __m512d r2 = _mm512_mul_pd(r, r);
        const __m512d sinR = sinOfReducedWide(r, r2);
        const __m512d cosine = _mm512_add_pd(_mm512_set1_pd(1.0 / 24.0),
                                             _mm512_mul_pd(r2, _mm512_add_pd(_mm512_set1_pd(-1.0 / 720.0),
                                                                             _mm512_mul_pd(r2, _mm512_set1_pd(1.0 / 40320.0)))));
        const __m512d cosRMinus1 = _mm512_mul_pd(r2, _mm512_add_pd(_mm512_set1_pd(-0.5), _mm512_mul_pd(r2, cosine)));
        const __m512d s = _mm512_i64gather_pd(j, kSineTable, 8);
        const __m512d co = _mm512_i64gather_pd(_mm512_add_epi64(j, cosineOffset), kSineTable, 8);
        const __m512d tabled = _mm512_add_pd(s, _mm512_add_pd(_mm512_mul_pd(s, cosRMinus1), _mm512_mul_pd(co, sinR)));
        _mm512_storeu_pd(y + i, _mm512_mask_blend_pd(small, tabled, polynomial));
    }
    for (; i < n; ++i) y[i] = fastSin(x[i]);
}

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
