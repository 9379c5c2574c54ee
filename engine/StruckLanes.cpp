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

// Four lanes to a register: the toms in one, the congas and the claves in another, so that
// neither takes the other's steps.
constexpr int kQuad = 4;
using Quad = double __attribute__((vector_size(32)));
using QuadBits = std::int64_t __attribute__((vector_size(32)));

// The lanes go in and out of registers through arrays: a vector whose lanes were written or
// read one by one would be kept in memory too, and stored back every frame.
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline Quad load(const double* from) {
    return reinterpret_cast<Quad>(_mm256_load_pd(from));
}
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline void store(double* to, const Quad& lanes) {
    _mm256_store_pd(to, reinterpret_cast<__m256d>(lanes));
}
// |x| lane by lane, as std::fabs: the sign bit cleared.
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline Quad magnitude(const Quad& x) {
    return reinterpret_cast<Quad>(reinterpret_cast<QuadBits>(x) & 0x7fffffffffffffff);
}

// The toms (Toms true) or the congas and the claves in the lanes of one register: their states
// and constants, one step of each, and their outputs scattered to the voices' rows.
template <bool Toms>
struct Group {
    // The values of lanes[0..count), lane by lane; lanes beyond them repeat the first and are
    // never stored.
    struct Values {
        alignas(32) double F[kQuad], q[kQuad], low[kQuad], band[kQuad];
        alignas(32) double input[kQuad], level[kQuad], gain[kQuad], peak[kQuad], peakRate[kQuad];
        alignas(32) double strike[kQuad], strikeRate[kQuad], x[kQuad], claves[kQuad];
        alignas(32) double hissA[kQuad], hissG[kQuad], hissY[kQuad], hissX[kQuad], hushA[kQuad], hushY[kQuad];
        alignas(32) double snappy[kQuad], envelope[kQuad], envelopeRate[kQuad], last[kQuad];
        alignas(32) std::int64_t offset[kQuad];
    };

    [[gnu::always_inline, VORLATEK_WIDE_LOOP]] Group(const StruckLanes::Lane* const* lanes, int count)
        : lanes_(lanes), count_(count) {
        if (count == 0) return;
        Values v{};
        for (int k = 0; k < kQuad; ++k) {
            const StruckLanes::Lane& lane = *lanes[k < count ? k : 0];
            v.F[k] = lane.resonator->F;
            v.q[k] = lane.resonator->q;
            v.low[k] = lane.resonator->low;
            v.band[k] = lane.resonator->band;
            v.input[k] = lane.input;
            v.level[k] = lane.voice->levelSmoothed;
            v.gain[k] = lane.gain;
            v.peak[k] = lane.voice->peak;
            v.peakRate[k] = lane.voice->peakDecay;
            // How far each output lies from the first, in doubles, for the scatter.
            v.offset[k] = (reinterpret_cast<std::intptr_t>(lane.out) - reinterpret_cast<std::intptr_t>(lanes[0]->out)) /
                          static_cast<std::intptr_t>(sizeof(double));
            if (const TomVoice* t = lane.tom) {
                v.hissA[k] = t->hiss.a;
                v.hissG[k] = t->hiss.g;
                v.hissY[k] = t->hiss.y;
                v.hissX[k] = t->hiss.xPrev;
                v.hushA[k] = t->hush.a;
                v.hushY[k] = t->hush.y;
                v.snappy[k] = t->snappy;
                v.envelope[k] = t->noiseEnvelope;
                v.envelopeRate[k] = t->noiseDecay;
            }
            if (const ClavesVoice* c = lane.claves) {
                v.claves[k] = 1.0;
                v.strike[k] = c->strike;
                v.strikeRate[k] = c->strikeRate;
            }
        }
        resonator_.F = load(v.F);
        resonator_.q = load(v.q);
        resonator_.low = load(v.low);
        resonator_.band = load(v.band);
        input_ = load(v.input);
        level_ = load(v.level);
        gain_ = load(v.gain);
        peak_ = load(v.peak);
        peakRate_ = load(v.peakRate);
        strike_ = load(v.strike);
        strikeRate_ = load(v.strikeRate);
        claves_ = load(v.claves) != 0.0;
        hissA_ = load(v.hissA);
        hissG_ = load(v.hissG);
        hissY_ = load(v.hissY);
        hissX_ = load(v.hissX);
        hushA_ = load(v.hushA);
        hushInput_ = 1.0 - hushA_;
        hushY_ = load(v.hushY);
        snappy_ = load(v.snappy);
        envelope_ = load(v.envelope);
        envelopeRate_ = load(v.envelopeRate);
        offset_ = _mm256_load_si256(reinterpret_cast<const __m256i*>(v.offset));
        base_ = lanes[0]->out;
        mask_ = static_cast<__mmask8>((1u << count) - 1u);
    }

    // Frame f: TomVoice::step, or CongaVoice::step and ClavesVoice::step, lane by lane; each
    // output also to the lane's follower.
    [[gnu::always_inline, VORLATEK_WIDE_LOOP]] void step(const SharedSignals& in, int f) {
        if constexpr (Toms) {
            resonator_.advance(input_);
            const double n = in.noiseB;
            const Quad noise = {n, n, n, n};
            hissY_ = hissA_ * hissY_ + (noise - hissX_) * hissG_ + dsp::kEpsilon;
            hissX_ = noise;
            hushY_ = hushA_ * hushY_ + hushInput_ * hissY_ + dsp::kEpsilon;
            y_ = (hushY_ * snappy_ * envelope_ * 0.15 + resonator_.band) * level_ * gain_ + dsp::kEpsilon;
            envelope_ = envelope_ - (envelope_ * envelopeRate_ + dsp::kEpsilon);  // dsp::decay
        } else {
            x_ = claves_ ? 4.3 * strike_ : input_;
            resonator_.advance(x_);
            y_ = resonator_.band * level_ * gain_;
            strike_ = strike_ - (strike_ * strikeRate_ + dsp::kEpsilon);  // dsp::decay
        }
        // PeakFollower: the peak falls, then takes the larger of it and |y| (the peak on a tie).
        peak_ = peak_ - (peak_ * peakRate_ + dsp::kEpsilon);
        const Quad a = magnitude(y_);
        peak_ = peak_ < a ? a : peak_;
        _mm256_mask_i64scatter_pd(base_ + f, mask_, offset_, reinterpret_cast<__m256d>(y_), 8);
    }

    // The states back into the voices; `frames` steps were taken.
    [[gnu::always_inline, VORLATEK_WIDE_LOOP]] void finish(int frames) {
        if (count_ == 0) return;
        Values v;
        store(v.low, resonator_.low);
        store(v.band, resonator_.band);
        store(v.peak, peak_);
        store(v.last, magnitude(y_));
        store(v.x, x_);
        store(v.strike, strike_);
        store(v.hissY, hissY_);
        store(v.hissX, hissX_);
        store(v.hushY, hushY_);
        store(v.envelope, envelope_);
        for (int k = 0; k < count_; ++k) {
            const StruckLanes::Lane& lane = *lanes_[k];
            lane.resonator->low = v.low[k];
            lane.resonator->band = v.band[k];
            lane.voice->peak = v.peak[k];
            lane.voice->magnitude = v.last[k];
            if (TomVoice* t = lane.tom) {
                t->hiss.y = v.hissY[k];
                t->hiss.xPrev = v.hissX[k];
                t->hush.y = v.hushY[k];
                t->noiseEnvelope = v.envelope[k];
            }
            if (ClavesVoice* c = lane.claves) {
                c->input = v.x[k];
                c->strike = v.strike[k];
                for (int f = 0; f < frames; ++f) c->countdown -= 1.0;
            }
        }
    }

    const StruckLanes::Lane* const* lanes_;
    int count_;
    dsp::BasicResonator<Quad> resonator_;
    Quad input_{}, level_{}, gain_{}, peak_{}, peakRate_{}, strike_{}, strikeRate_{}, x_{}, y_{};
    QuadBits claves_{};
    Quad hissA_{}, hissG_{}, hissY_{}, hissX_{}, hushA_{}, hushInput_{}, hushY_{}, snappy_{}, envelope_{}, envelopeRate_{};
    __m256i offset_{};
    double* base_ = nullptr;
    __mmask8 mask_ = 0;
};

}  // namespace

void StruckLanes::render(const SharedSignals* __restrict in, int frames) {
    const Lane* toms[kQuad];
    const Lane* plain[kQuad];
    int tomCount = 0, plainCount = 0;
    for (int k = 0; k < count_; ++k) {
        if (lanes_[k].tom) toms[tomCount++] = &lanes_[k];
        else plain[plainCount++] = &lanes_[k];
    }
    Group<true> tomGroup(toms, tomCount);
    Group<false> plainGroup(plain, plainCount);
    if (tomCount > 0 && plainCount > 0) {
        for (int f = 0; f < frames; ++f) {
            tomGroup.step(in[f], f);
            plainGroup.step(in[f], f);
        }
    } else if (tomCount > 0) {
        for (int f = 0; f < frames; ++f) tomGroup.step(in[f], f);
    } else {
        for (int f = 0; f < frames; ++f) plainGroup.step(in[f], f);
    }
    tomGroup.finish(frames);
    plainGroup.finish(frames);
    count_ = 0;
}

}  // namespace vorlatek

#pragma GCC diagnostic pop

#endif
