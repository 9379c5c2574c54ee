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
    Lanes input{}, level{}, gain{}, peak{}, peakRate{};
    Lanes hissA{}, hissG{}, hissY{}, hissX{}, hushA{}, hushY{}, snappy{}, envelope{}, envelopeRate{};
    LaneBits tom{}, offset{};
    dsp::BasicResonator<Lanes> resonator;
    for (int k = 0; k < kLanes; ++k) {
        const int from = k < count_ ? k : 0;
        const StruckResonatorVoice& v = *voices_[from];
        resonator.F[k] = v.resonator.F;
        resonator.q[k] = v.resonator.q;
        resonator.low[k] = v.resonator.low;
        resonator.band[k] = v.resonator.band;
        level[k] = v.levelSmoothed;
        gain[k] = v.outputGain;
        peak[k] = v.peak;
        peakRate[k] = v.peakDecay;
        // How far each output lies from the first, in doubles, for the scatter.
        offset[k] = (reinterpret_cast<std::intptr_t>(outs_[from]) - reinterpret_cast<std::intptr_t>(outs_[0])) /
                    static_cast<std::intptr_t>(sizeof(double));
        if (const TomVoice* t = toms_[from]) {
            // The settled click, as TomVoice::step takes it.
            input[k] = t->click.shapedEdge;
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
        } else {
            // The settled click at the conga's amplitude, as CongaVoice::step takes it.
            input[k] = v.click.shapedEdge * static_cast<const CongaVoice&>(v).amplitude;
        }
    }
    const __mmask8 voices = static_cast<__mmask8>((1u << count_) - 1u);
    const __m512i scatter = reinterpret_cast<__m512i>(offset);
    double* const base = outs_[0];
    const Lanes hushInput = 1.0 - hushA;
    Lanes y{};
    for (int f = 0; f < frames; ++f) {
        // CongaVoice::step and TomVoice::step, lane by lane.
        resonator.advance(input);
        const Lanes band = resonator.band;
        const double n = in[f].noiseB;
        const Lanes noise = {n, n, n, n, n, n, n, n};
        hissY = hissA * hissY + (noise - hissX) * hissG + dsp::kEpsilon;
        hissX = noise;
        hushY = hushA * hushY + hushInput * hissY + dsp::kEpsilon;
        const Lanes tomOut = (hushY * snappy * envelope * 0.15 + band) * level * gain + dsp::kEpsilon;
        const Lanes congaOut = band * level * gain;
        y = tom ? tomOut : congaOut;
        envelope = envelope - (envelope * envelopeRate + dsp::kEpsilon);  // dsp::decay
        // PeakFollower: the peak falls, then takes the larger of it and |y| (the peak on a tie).
        peak = peak - (peak * peakRate + dsp::kEpsilon);
        const Lanes a = magnitude(y);
        peak = peak < a ? a : peak;
        _mm512_mask_i64scatter_pd(base + f, voices, scatter, reinterpret_cast<__m512d>(y), 8);
    }
    const Lanes last = magnitude(y);
    for (int k = 0; k < count_; ++k) {
        StruckResonatorVoice& v = *voices_[k];
        v.resonator.low = resonator.low[k];
        v.resonator.band = resonator.band[k];
        v.peak = peak[k];
        v.magnitude = last[k];
        if (TomVoice* t = toms_[k]) {
            t->hiss.y = hissY[k];
            t->hiss.xPrev = hissX[k];
            t->hush.y = hushY[k];
            t->noiseEnvelope = envelope[k];
        }
    }
    count_ = 0;
}

}  // namespace vorlatek

#pragma GCC diagnostic pop

#endif
