#pragma once
// What the processor offers beyond the instructions the engine is built for, asked once
// while the module loads so that the audio thread only reads constants.
//
// Where AVX-512 is there, the engine's hottest loops are compiled a second time for it
// (VORLATEK_ENGINE_WIDE): its 32 registers hold every state of two voices, or of both shared
// sources, through a loop. They are compiled with no fused multiply-add (which rounds once
// where the plain steps round twice), so the samples are the same to the bit.

// GCC only: the optimize attribute that keeps multiply-adds apart is its own.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VORLATEK_ENGINE_WIDE 1
#define VORLATEK_WIDE_LOOP gnu::target("avx512f,avx512vl"), gnu::optimize("fp-contract=off")
#endif

namespace vorlatek::cpu {

// AVX2 (four doubles to a register).
bool hasAvx2();
namespace detail {
// What hasAvx512() answers; only useAvx512() and the module's loading write it.
extern bool gUseAvx512;
}  // namespace detail

// AVX-512 F and VL (32 registers, eight doubles to one), unless useAvx512(false). Inline: the
// loops ask before every run.
inline bool hasAvx512() { return detail::gUseAvx512; }
// What the processor has, whatever useAvx512 says.
bool detectedAvx512();
// For tests that hold the loops built for AVX-512 to the others: with false, hasAvx512()
// answers false. Never called while audio runs (the plug-in never calls it).
void useAvx512(bool use);

}  // namespace vorlatek::cpu
