#pragma once
// The exponential, sine and hyperbolic tangent that voices evaluate every sample, written out
// so that they inline into the voices' loops: around a call into the maths library the
// compiler puts every state of the loop into memory and back.
//
// Each is a reduction to a small interval, a table lookup and a short polynomial, in plain
// double arithmetic (the sine of a small angle skips the table): within two units in the last
// place of the exact value over the ranges the voices use (tests/engine/FastMathTest.cpp),
// and the same to the bit on every processor with SSE2, whatever the maths library of the
// platform.
//
// Built with VORLATEK_EXACT_MATHS defined, they call the maths library instead: the sound as
// the formulas define it, which bench/MathsDeviation compares against.

#include "engine/ProcessorFeatures.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace vorlatek::dsp {

namespace fastmath {

// Added to a double of magnitude below 2^51, 1.5·2^52 rounds it to the nearest integer, which
// the low bits of the sum then hold in two's complement.
inline constexpr double kRoundMagic = 6755399441055744.0;

// exp: x = k·ln2/64 + r, |r| ≤ ln2/128; eˣ = 2^(k/64)·eʳ.
inline constexpr double k64OverLn2 = 0x1.71547652b82fep+6;
inline constexpr double kLn2Over64Hi = 0x1.62e42fee00000p-7;  // 32 bits: k·hi is exact
inline constexpr double kLn2Over64Lo = 0x1.a39ef35793c76p-39;
// Bits of 2^(j/64) less j·2^46, so that adding the k of the reduction shifted left by 46
// adds ⌊k/64⌋ to the exponent and cancels j (the bits of kRoundMagic fall off the top).
inline constexpr std::uint64_t kExpScaleBits[64] = {
    0x3ff0000000000000, 0x3fefec9a3e778061, 0x3fefd9b0d3158574, 0x3fefc74518759bc8,
    0x3fefb5586cf9890f, 0x3fefa3ec32d3d1a2, 0x3fef9301d0125b51, 0x3fef829aaea92de0,
    0x3fef72b83c7d517b, 0x3fef635beb6fcb75, 0x3fef54873168b9aa, 0x3fef463b88628cd6,
    0x3fef387a6e756238, 0x3fef2b4565e27cdd, 0x3fef1e9df51fdee1, 0x3fef1285a6e4030b,
    0x3fef06fe0a31b715, 0x3feefc08b26416ff, 0x3feef1a7373aa9cb, 0x3feee7db34e59ff7,
    0x3feedea64c123422, 0x3feed60a21f72e2a, 0x3feece086061892d, 0x3feec6a2b5c13cd0,
    0x3feebfdad5362a27, 0x3feeb9b2769d2ca7, 0x3feeb42b569d4f82, 0x3feeaf4736b527da,
    0x3feeab07dd485429, 0x3feea76f15ad2148, 0x3feea47eb03a5585, 0x3feea23882552225,
    0x3feea09e667f3bcd, 0x3fee9fb23c651a2f, 0x3fee9f75e8ec5f74, 0x3fee9feb564267c9,
    0x3feea11473eb0187, 0x3feea2f336cf4e62, 0x3feea589994cce13, 0x3feea8d99b4492ed,
    0x3feeace5422aa0db, 0x3feeb1ae99157736, 0x3feeb737b0cdc5e5, 0x3feebd829fde4e50,
    0x3feec49182a3f090, 0x3feecc667b5de565, 0x3feed503b23e255d, 0x3feede6b5579fdbf,
    0x3feee89f995ad3ad, 0x3feef3a2b84f15fb, 0x3feeff76f2fb5e47, 0x3fef0c1e904bc1d2,
    0x3fef199bdd85529c, 0x3fef27f12e57d14b, 0x3fef3720dcef9069, 0x3fef472d4a07897c,
    0x3fef5818dcfba487, 0x3fef69e603db3285, 0x3fef7c97337b9b5f, 0x3fef902ee78b3ff6,
    0x3fefa4afa2a490da, 0x3fefba1bee615a27, 0x3fefd0765b6e4540, 0x3fefe7c1819e90d8,
};

// sin: x = k·π/32 + r, |r| ≤ π/64; sin x = sin(kπ/32)·cos r + cos(kπ/32)·sin r.
inline constexpr double k32OverPi = 0x1.45f306dc9c883p+3;
// π/32 in three parts of 25 bits or less: k·part is exact for |k| < 2^28, that is for |x| up to
// kSineLimit.
inline constexpr double kSineLimit = 2.6e7;
inline constexpr double kPiOver32A = 0x1.921fb5p-4;
inline constexpr double kPiOver32B = 0x1.110b46p-30;
inline constexpr double kPiOver32C = 0x1.1a62633145c07p-58;
// sin(jπ/32) for j = 0..79; the cosine of jπ/32 is entry j + 16.
inline constexpr double kSineTable[80] = {
    0.0, 0x1.917a6bc29b42cp-4, 0x1.8f8b83c69a60bp-3, 0x1.294062ed59f06p-2,
    0x1.87de2a6aea963p-2, 0x1.e2b5d3806f63bp-2, 0x1.1c73b39ae68c8p-1, 0x1.44cf325091dd6p-1,
    0x1.6a09e667f3bcdp-1, 0x1.8bc806b151741p-1, 0x1.a9b66290ea1a3p-1, 0x1.c38b2f180bdb1p-1,
    0x1.d906bcf328d46p-1, 0x1.e9f4156c62ddap-1, 0x1.f6297cff75cb0p-1, 0x1.fd88da3d12526p-1,
    0x1.0000000000000p+0, 0x1.fd88da3d12526p-1, 0x1.f6297cff75cb0p-1, 0x1.e9f4156c62ddap-1,
    0x1.d906bcf328d46p-1, 0x1.c38b2f180bdb1p-1, 0x1.a9b66290ea1a3p-1, 0x1.8bc806b151741p-1,
    0x1.6a09e667f3bcdp-1, 0x1.44cf325091dd6p-1, 0x1.1c73b39ae68c8p-1, 0x1.e2b5d3806f63bp-2,
    0x1.87de2a6aea963p-2, 0x1.294062ed59f06p-2, 0x1.8f8b83c69a60bp-3, 0x1.917a6bc29b42cp-4,
    0.0, -0x1.917a6bc29b42cp-4, -0x1.8f8b83c69a60bp-3, -0x1.294062ed59f06p-2,
    -0x1.87de2a6aea963p-2, -0x1.e2b5d3806f63bp-2, -0x1.1c73b39ae68c8p-1, -0x1.44cf325091dd6p-1,
    -0x1.6a09e667f3bcdp-1, -0x1.8bc806b151741p-1, -0x1.a9b66290ea1a3p-1, -0x1.c38b2f180bdb1p-1,
    -0x1.d906bcf328d46p-1, -0x1.e9f4156c62ddap-1, -0x1.f6297cff75cb0p-1, -0x1.fd88da3d12526p-1,
    -0x1.0000000000000p+0, -0x1.fd88da3d12526p-1, -0x1.f6297cff75cb0p-1, -0x1.e9f4156c62ddap-1,
    -0x1.d906bcf328d46p-1, -0x1.c38b2f180bdb1p-1, -0x1.a9b66290ea1a3p-1, -0x1.8bc806b151741p-1,
    -0x1.6a09e667f3bcdp-1, -0x1.44cf325091dd6p-1, -0x1.1c73b39ae68c8p-1, -0x1.e2b5d3806f63bp-2,
    -0x1.87de2a6aea963p-2, -0x1.294062ed59f06p-2, -0x1.8f8b83c69a60bp-3, -0x1.917a6bc29b42cp-4,
    0.0, 0x1.917a6bc29b42cp-4, 0x1.8f8b83c69a60bp-3, 0x1.294062ed59f06p-2,
    0x1.87de2a6aea963p-2, 0x1.e2b5d3806f63bp-2, 0x1.1c73b39ae68c8p-1, 0x1.44cf325091dd6p-1,
    0x1.6a09e667f3bcdp-1, 0x1.8bc806b151741p-1, 0x1.a9b66290ea1a3p-1, 0x1.c38b2f180bdb1p-1,
    0x1.d906bcf328d46p-1, 0x1.e9f4156c62ddap-1, 0x1.f6297cff75cb0p-1, 0x1.fd88da3d12526p-1,
};

}  // namespace fastmath

// eˣ. Inputs are held in −708..709, where the result stays a normal number: below, eˣ is
// 3e-308 instead of smaller (or 0), above, 8e307 instead of larger (or infinity); NaN gives NaN.
inline double fastExp(double x) {
#if defined(VORLATEK_EXACT_MATHS)
    return std::exp(x);
#else
    using namespace fastmath;
    x = std::max(x, -708.0);
    x = std::min(x, 709.0);
    const double t = x * k64OverLn2 + kRoundMagic;
    const double k = t - kRoundMagic;
    const double r = (x - k * kLn2Over64Hi) - k * kLn2Over64Lo;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(t);
    const double scale = std::bit_cast<double>(kExpScaleBits[bits & 63] + (bits << 46));
    // eʳ − 1 to the fifth power of r (the next term is below 2^-54 of the result), its two
    // halves evaluated side by side: the result is wanted soon, not only often.
    const double r2 = r * r;
    const double tail = r + r2 * ((0.5 + r * (1.0 / 6.0)) + r2 * (1.0 / 24.0 + r * (1.0 / 120.0)));
    return scale + scale * tail;
#endif
}

namespace fastmath {

// sin r for |r| ≤ π/64, to the ninth power of r, in two halves side by side.
inline double sinOfReduced(double r, double r2) {
    const double r4 = r2 * r2;
    return r + r * r2 * ((-1.0 / 6.0 + r2 * (1.0 / 120.0)) + r4 * (-1.0 / 5040.0 + r2 * (1.0 / 362880.0)));
}

}  // namespace fastmath

namespace fastmath {

// Below π/64 the reduction would leave x as it is: the polynomial alone gives the same value.
inline bool sineNeedsNoTable(double x) { return std::fabs(x) < kPiOver32A * 0.5; }

}  // namespace fastmath

// sin x for |x| below 2.6e7 (far beyond any phase a voice reaches before it falls silent);
// beyond, and for NaN and infinity, 0. Below π/64, where the reduction would leave x as it
// is, the polynomial alone: the same value, sooner.
inline double fastSin(double x) {
#if defined(VORLATEK_EXACT_MATHS)
    return std::sin(x);
#else
    using namespace fastmath;
    if (sineNeedsNoTable(x)) return sinOfReduced(x, x * x);
    x = std::fabs(x) < kSineLimit ? x : 0.0;
    const double t = x * k32OverPi + kRoundMagic;
    const double k = t - kRoundMagic;
    const double r = ((x - k * kPiOver32A) - k * kPiOver32B) - k * kPiOver32C;
    const unsigned j = static_cast<unsigned>(std::bit_cast<std::uint64_t>(t) & 63);
    const double r2 = r * r;
    const double sinR = sinOfReduced(r, r2);
    const double cosRMinus1 = r2 * (-0.5 + r2 * (1.0 / 24.0 + r2 * (-1.0 / 720.0 + r2 * (1.0 / 40320.0))));
    const double s = kSineTable[j], c = kSineTable[j + 16];
    return s + (s * cosRMinus1 + c * sinR);
#endif
}

namespace fastmath {
#if defined(VORLATEK_ENGINE_WIDE) && !defined(VORLATEK_EXACT_MATHS)
// fastSin and fastExp of n values, eight at a time in the lanes of AVX-512 registers, the
// table looked up for all eight at once; the caller makes sure the processor has it.
void sinEachWide(const double* x, double* y, int n);
void expEachWide(const double* x, double* y, int n);
#endif
}  // namespace fastmath

// y[i] = fastSin(x[i]) for n values, to the bit. Where every angle is small, as the bass
// drum's are, only the polynomial is needed: the compiler then works out several side by side.
// Otherwise eight side by side where the processor has AVX-512.
inline void fastSinEach(const double* __restrict x, double* __restrict y, int n) {
#if !defined(VORLATEK_EXACT_MATHS)
    bool small = true;
    for (int i = 0; i < n; ++i) small &= fastmath::sineNeedsNoTable(x[i]);
    if (small) {
        for (int i = 0; i < n; ++i) y[i] = fastmath::sinOfReduced(x[i], x[i] * x[i]);
        return;
    }
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) return fastmath::sinEachWide(x, y, n);
#endif
#endif
    for (int i = 0; i < n; ++i) y[i] = fastSin(x[i]);
}

// y[i] = fastExp(x[i]) for n values, to the bit, eight side by side where the processor has
// AVX-512 (the compiler alone left the table lookup, and so all of it, one at a time).
inline void fastExpEach(const double* __restrict x, double* __restrict y, int n) {
#if defined(VORLATEK_ENGINE_WIDE) && !defined(VORLATEK_EXACT_MATHS)
    if (cpu::hasAvx512()) return fastmath::expEachWide(x, y, n);
#endif
    for (int i = 0; i < n; ++i) y[i] = fastExp(x[i]);
}

// tanh x = (e²ˣ − 1)/(e²ˣ + 1): within 2^-51 of the exact value (an absolute bound; near 0,
// where tanh x is about x, the relative error grows as 1/x).
inline double fastTanh(double x) {
#if defined(VORLATEK_EXACT_MATHS)
    return std::tanh(x);
#else
    const double e = fastExp(2.0 * x);
    return (e - 1.0) / (e + 1.0);
#endif
}

}  // namespace vorlatek::dsp
