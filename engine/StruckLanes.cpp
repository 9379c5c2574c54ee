#include "engine/StruckLanes.h"

#if defined(VORLATEK_ENGINE_WIDE)

#include "engine/DspMath.h"
#include "engine/ResonatorFilter.h"

#include <cstdint>
#include <immintrin.h>

// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used, and then warn
// about it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace vorlatek {

namespace {

using Lanes = double __attribute__((vector_size(64)));
using LaneBits = std::int64_t __attribute__((vector_size(64)));

// |x| lane by lane, as std::fabs: the sign bit cleared.
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline Lanes magnitude(Lanes x) {
    return reinterpret_cast<Lanes>(reinterpret_cast<LaneBits>(x) & 0x7fffffffffffffff);
}

}  // namespace

void StruckLanes::render(const SharedSignals* __restrict in, int frames) {
    if (count_ == 0) return;
    // The voices' states and constants, lane by lane; lanes beyond the voices repeat the first
    // and are never stored.
    Lanes input{}, level{}, gain{}, peak{}, peakRate{}, strike{}, strikeRate{};
    Lanes hissA{}, hissG{}, hissY{}, hissX{}, hushA{}, hushY{}, snappy{}, envelope{}, envelopeRate{};
    LaneBits tom{}, claves{}, offset{};
    dsp::BasicResonator<Lanes> resonator;
    for (int k = 0; k < kLanes; ++k) {
        const Lane& lane = lanes_[k < count_ ? k : 0];
        const Voice& v = *lane.voice;
        resonator.F[k] = lane.resonator->F;
        resonator.q[k] = lane.resonator->q;
        resonator.low[k] = lane.resonator->low;
        resonator.band[k] = lane.resonator->band;
        input[k] = lane.input;
        level[k] = v.levelSmoothed;
        gain[k] = lane.gain;
        peak[k] = v.peak;
        peakRate[k] = v.peakDecay;
        // How far each output lies from the first, in doubles, for the scatter.
        offset[k] = (reinterpret_cast<std::intptr_t>(lane.out) - reinterpret_cast<std::intptr_t>(lanes_[0].out)) /
                    static_cast<std::intptr_t>(sizeof(double));
        if (const TomVoice* t = lane.tom) {
            tom[k] = -1;
            hissA[k] = t->hiss.a;
            hissG[k] = t->hiss.g;
            hissY[k] = t->hiss.y;
            hissX[k] = t->hiss.xPrev;
            hushA[k] = t->hush.a;
            hushY[k] = t->hush.y;
            snappy[k] = t->snappy;
            envelope[k] = t->noiseEnvelope;
            envelopeRate[k] = t->noiseDecay;
        }
        if (const ClavesVoice* c = lane.claves) {
            claves[k] = -1;
            strike[k] = c->strike;
            strikeRate[k] = c->strikeRate;
        }
    }
    const __mmask8 voices = static_cast<__mmask8>((1u << count_) - 1u);
    const __m512i scatter = reinterpret_cast<__m512i>(offset);
    double* const base = lanes_[0].out;
    const Lanes hushInput = 1.0 - hushA;
    Lanes x{}, y{};
    for (int f = 0; f < frames; ++f) {
        // CongaVoice::step, TomVoice::step and ClavesVoice::step, lane by lane.
        x = claves ? 4.3 * strike : input;
        resonator.advance(x);
        const Lanes band = resonator.band;
        const double n = in[f].noiseB;
        const Lanes noise = {n, n, n, n, n, n, n, n};
        hissY = hissA * hissY + (noise - hissX) * hissG + dsp::kEpsilon;
        hissX = noise;
        hushY = hushA * hushY + hushInput * hissY + dsp::kEpsilon;
        const Lanes tomOut = (hushY * snappy * envelope * 0.15 + band) * level * gain + dsp::kEpsilon;
        const Lanes plainOut = band * level * gain;
        y = tom ? tomOut : plainOut;
        envelope = envelope - (envelope * envelopeRate + dsp::kEpsilon);  // dsp::decay
        strike = strike - (strike * strikeRate + dsp::kEpsilon);          // dsp::decay
        // PeakFollower: the peak falls, then takes the larger of it and |y| (the peak on a tie).
        peak = peak - (peak * peakRate + dsp::kEpsilon);
        const Lanes a = magnitude(y);
        peak = peak < a ? a : peak;
        _mm512_mask_i64scatter_pd(base + f, voices, scatter, reinterpret_cast<__m512d>(y), 8);
    }
    const Lanes last = magnitude(y);
    for (int k = 0; k < count_; ++k) {
        const Lane& lane = lanes_[k];
        lane.resonator->low = resonator.low[k];
        lane.resonator->band = resonator.band[k];
        lane.voice->peak = peak[k];
        lane.voice->magnitude = last[k];
        if (TomVoice* t = lane.tom) {
            t->hiss.y = hissY[k];
            t->hiss.xPrev = hissX[k];
            t->hush.y = hushY[k];
            t->noiseEnvelope = envelope[k];
        }
        if (ClavesVoice* c = lane.claves) {
            c->input = x[k];
            c->strike = strike[k];
            for (int f = 0; f < frames; ++f) c->countdown -= 1.0;
        }
    }
    count_ = 0;
}

}  // namespace vorlatek

#pragma GCC diagnostic pop

#endif
