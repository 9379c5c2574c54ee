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
// and constants, one step of each, and their outputs scattered to the voices' rows. With
// Clicks, the lanes step the clicks too; without, every click has settled.
template <bool Toms, bool Clicks>
struct Group {
    // The values of lanes[0..count), lane by lane; lanes beyond them repeat the first and are
    // never stored.
    struct Values {
        alignas(32) double F[kQuad], q[kQuad], low[kQuad], band[kQuad];
        alignas(32) double input[kQuad], level[kQuad], gain[kQuad], peak[kQuad], peakRate[kQuad];
        alignas(32) double strike[kQuad], strikeRate[kQuad], x[kQuad], claves[kQuad];
        alignas(32) double hissA[kQuad], hissG[kQuad], hissY[kQuad], hissX[kQuad], hushA[kQuad], hushY[kQuad];
        alignas(32) double snappy[kQuad], envelope[kQuad], envelopeRate[kQuad], last[kQuad];
        alignas(32) double countdown[kQuad], pulseTarget[kQuad], pulse[kQuad], pulseRate[kQuad], releaseRate[kQuad];
        alignas(32) double edgeA[kQuad], edgeG[kQuad], edgeY[kQuad], edgeX[kQuad], shaped[kQuad], scale[kQuad];
        alignas(32) double pulseBefore[kQuad], edgeBefore[kQuad], inputBefore[kQuad];
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
            if (const StrikeClick* c = lane.click) {
                v.countdown[k] = c->countdown;
                v.pulseTarget[k] = c->pulseTarget;
                v.pulse[k] = c->pulse;
                v.pulseRate[k] = c->pulseRate;
                v.releaseRate[k] = dsp::limitRate(0.5 * lane.voice->rateFactor);
                v.edgeA[k] = c->edge.a;
                v.edgeG[k] = c->edge.g;
                v.edgeY[k] = c->edge.y;
                v.edgeX[k] = c->edge.xPrev;
                v.shaped[k] = c->shapedEdge;
                v.scale[k] = lane.clickScale;
                // A settled click gives its last edge every sample.
                v.input[k] = c->shapedEdge * lane.clickScale;
            }
            v.level[k] = lane.voice->levelSmoothed;
            v.gain[k] = lane.gain;
            v.peak[k] = lane.voice->peak;
            v.peakRate[k] = lane.voice->peakDecay;
            // How far each output lies from the first, in doubles, for the scatter.
            v.offset[k] = dsp::doublesBetween(lanes[0]->out, lane.out);
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
        countdown_ = load(v.countdown);
        pulseTarget_ = load(v.pulseTarget);
        pulse_ = load(v.pulse);
        pulseRate_ = load(v.pulseRate);
        releaseRate_ = load(v.releaseRate);
        edgeA_ = load(v.edgeA);
        edgeG_ = load(v.edgeG);
        edgeY_ = load(v.edgeY);
        edgeX_ = load(v.edgeX);
        shaped_ = load(v.shaped);
        scale_ = load(v.scale);
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
        if constexpr (Clicks) {
            // StrikeClick::step: the pulse is released when the countdown reaches 0, which
            // then stops at −1; its edge, the positive half cut to a tenth; the pulse's fall.
            const QuadBits due = countdown_ == 0.0;
            pulseTarget_ = due ? Quad{} : pulseTarget_;
            pulseRate_ = due ? releaseRate_ : pulseRate_;
            countdown_ = countdown_ >= 0.0 ? countdown_ - 1.0 : countdown_;
            pulseBefore_ = pulse_;
            edgeBefore_ = edgeY_;
            inputBefore_ = edgeX_;
            const Quad x = -pulse_;
            edgeY_ = edgeA_ * edgeY_ + (x - edgeX_) * edgeG_ + dsp::kEpsilon;  // OnePoleHighPass
            edgeX_ = x;
            shaped_ = edgeY_ > 0.0 ? edgeY_ * 0.1 : edgeY_;
            pulse_ = pulse_ - ((pulse_ - pulseTarget_) * pulseRate_ + dsp::kEpsilon);  // dsp::smooth
            input_ = shaped_ * scale_;
        }
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
        if constexpr (Clicks) {
            store(v.countdown, countdown_);
            store(v.pulseTarget, pulseTarget_);
            store(v.pulse, pulse_);
            store(v.pulseRate, pulseRate_);
            store(v.edgeY, edgeY_);
            store(v.edgeX, edgeX_);
            store(v.shaped, shaped_);
            store(v.pulseBefore, pulseBefore_);
            store(v.edgeBefore, edgeBefore_);
            store(v.inputBefore, inputBefore_);
        }
        for (int k = 0; k < count_; ++k) {
            const StruckLanes::Lane& lane = *lanes_[k];
            lane.resonator->low = v.low[k];
            lane.resonator->band = v.band[k];
            lane.voice->peak = v.peak[k];
            lane.voice->magnitude = v.last[k];
            StrikeClick* c = lane.click;
            if (Clicks && c && frames > 0) {
                c->countdown = static_cast<std::int32_t>(v.countdown[k]);
                c->pulseTarget = v.pulseTarget[k];
                c->pulse = v.pulse[k];
                c->pulseRate = v.pulseRate[k];
                c->edge.y = v.edgeY[k];
                c->edge.xPrev = v.edgeX[k];
                c->shapedEdge = v.shaped[k];
                c->settleAfter(v.pulseBefore[k], v.edgeBefore[k], v.inputBefore[k]);
            }
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
    Quad countdown_{}, pulseTarget_{}, pulse_{}, pulseRate_{}, releaseRate_{}, edgeA_{}, edgeG_{}, edgeY_{}, edgeX_{};
    Quad shaped_{}, scale_{}, pulseBefore_{}, edgeBefore_{}, inputBefore_{};
    QuadBits claves_{};
    Quad hissA_{}, hissG_{}, hissY_{}, hissX_{}, hushA_{}, hushInput_{}, hushY_{}, snappy_{}, envelope_{}, envelopeRate_{};
    __m256i offset_{};
    double* base_ = nullptr;
    __mmask8 mask_ = 0;
};

}  // namespace

namespace {

// Whether any click among lanes[0..count) still moves.
bool clicksMove(const StruckLanes::Lane* const* lanes, int count) {
    for (int k = 0; k < count; ++k)
        if (lanes[k]->click && !lanes[k]->click->settled()) return true;
    return false;
}

// Both registers over the run, in one loop.
template <bool TomClicks, bool PlainClicks>
[[gnu::always_inline, VORLATEK_WIDE_LOOP]] inline void renderLanes(const SharedSignals* __restrict in, int frames,
                                                                   const StruckLanes::Lane* const* toms, int tomCount,
                                                                   const StruckLanes::Lane* const* plain,
                                                                   int plainCount) {
    Group<true, TomClicks> tomGroup(toms, tomCount);
    Group<false, PlainClicks> plainGroup(plain, plainCount);
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
}

}  // namespace

void StruckLanes::render(const SharedSignals* __restrict in, int frames) {
    const Lane* toms[kQuad];
    const Lane* plain[kQuad];
    int tomCount = 0, plainCount = 0;
    for (int k = 0; k < count_; ++k) {
        if (lanes_[k].tom) toms[tomCount++] = &lanes_[k];
        else plain[plainCount++] = &lanes_[k];
    }
    const bool tomClicks = clicksMove(toms, tomCount), plainClicks = clicksMove(plain, plainCount);
    if (tomClicks && plainClicks) renderLanes<true, true>(in, frames, toms, tomCount, plain, plainCount);
    else if (tomClicks) renderLanes<true, false>(in, frames, toms, tomCount, plain, plainCount);
    else if (plainClicks) renderLanes<false, true>(in, frames, toms, tomCount, plain, plainCount);
    else renderLanes<false, false>(in, frames, toms, tomCount, plain, plainCount);
    count_ = 0;
}

}  // namespace vorlatek

#pragma GCC diagnostic pop

#endif
