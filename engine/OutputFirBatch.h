#pragma once
// The voices whose steps pass an output FIR, over one run: where their loops put the steps
// (in the voice's own row, after room for the FIR's history), the FIRs, and the activity
// followers that watch the FIRs' outputs. Each FIR works in place: output f goes where the
// history's oldest input, or step f − 17, lay, which no later output reads; the steps and the
// outputs share a row, hot in the cache when the mix reads it.
//
// A follower is a chain of dependent operations, one link a frame, and the FIR has none: run
// inside the FIR's loop it held that loop to the chain's pace. The batch runs the FIRs first,
// then steps up to four followers in one loop, frame by frame, so that their chains overlap.
//
// Where the processor has AVX-512, Lanes works the FIRs out an octet of frames at a time and
// steps up to eight followers side by side in one register, inside a loop that has other
// work of its own (the engine's mix): the FIRs' work and the mix's fill the time the
// followers' chain keeps the processor waiting. Each output comes out as OutputFir gives it
// and each follower steps as PeakFollower does, to the bit.

#include "engine/DspMath.h"
#include "engine/EngineRun.h"
#include "engine/Instrument.h"
#include "engine/OutputFir.h"
#include "engine/PeakFollower.h"
#include "engine/ProcessorFeatures.h"
#include "engine/Voice.h"

#include <cmath>
#include <cstdint>

#if defined(VORLATEK_ENGINE_WIDE)
#include <immintrin.h>
#endif

namespace vorlatek {

class OutputFirBatch {
public:
    static constexpr int kTaps = dsp::OutputFir::kTaps;
    // How long a voice's row must be, rounded up to whole cache lines.
    static constexpr int kRowLength = (kTaps + kMaxRunFrames + 7) / 8 * 8;
    // The most voices runWide takes in the lanes of one register (beyond, its own loops).
    static constexpr int kMostInLanes = 8;

    // The voice's FIR is to filter its steps over the run into out[0..frames), and its
    // follower to watch out; out has room for kRowLength values. Returns where the voice's
    // loop puts the steps (out + kTaps).
    double* add(Voice& voice, double* out) {
        voice.fir.openWindow(out);
        voices_[count_] = &voice;
        outs_[count_] = out;
        ++count_;
        return out + kTaps;
    }
    // The FIRs of every voice added since the last run over `frames` frames, then the
    // followers: each voice's peak, magnitude and FIR move on; the batch is then empty.
    void run(int frames) {
        for (int k = 0; k < count_; ++k) voices_[k]->fir.filterWindow(outs_[k], outs_[k], frames);
        int first = 0;
        for (; first + 3 < count_; first += 4) runGroup<4>(first, frames);
        switch (count_ - first) {
            case 3: runGroup<3>(first, frames); break;
            case 2: runGroup<2>(first, frames); break;
            case 1: runGroup<1>(first, frames); break;
            default: break;
        }
        for (int k = 0; k < count_; ++k) voices_[k]->magnitude = std::fabs(outs_[k][frames - 1]);
        count_ = 0;
    }

    int count() const { return count_; }

#if defined(VORLATEK_ENGINE_WIDE)
    // What run() does, where the processor has AVX-512, in one loop with other work of the
    // run's: an octet of frames at a time, the FIRs, then work.octet(f) (the FIRs' outputs of
    // frames f .. f + 7 are there by then), then the followers; frames beyond the last octet
    // one at a time, with work.frame(f). With no voice in the batch, work.octet and work.frame
    // all the same.
    template <class Work>
    [[VORLATEK_WIDE_LOOP]] void runWide(int frames, Work& work);

    class Lanes;
#endif

private:
    template <int N>
    void runGroup(int first, int frames) {
        PeakFollower follow[N];
        const double* out[N];
        for (int k = 0; k < N; ++k) {
            follow[k] = PeakFollower{voices_[first + k]->peak, voices_[first + k]->peakDecay};
            out[k] = outs_[first + k];
        }
        for (int f = 0; f < frames; ++f)
            for (int k = 0; k < N; ++k) follow[k](out[k][f]);
        for (int k = 0; k < N; ++k) voices_[first + k]->peak = follow[k].peak;
    }

    Voice* voices_[kInstrumentCount] = {};
    double* outs_[kInstrumentCount] = {};
    int count_ = 0;
};

#if defined(VORLATEK_ENGINE_WIDE)
// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used (the gather),
// and then warn that it may be used uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
class OutputFirBatch::Lanes {
public:
    static constexpr int kLanes = kMostInLanes;

    // runWide with N voices in the batch.
    template <int N, class Work>
    [[VORLATEK_WIDE_LOOP]] static void run(OutputFirBatch& batch, int frames, Work& work) {
        Lanes lanes(batch, frames);
        if (lanes.epsilonVanishes_) lanes.loop<N, true>(frames, work);
        else lanes.loop<N, false>(frames, work);
    }

private:
    // The batch's voices (one to kLanes of them) over a run of `frames`; lanes beyond them
    // repeat the first and are never stored. Every OutputFir has the same coefficients: the
    // first voice's serve all.
    [[VORLATEK_WIDE_LOOP]] Lanes(OutputFirBatch& batch, int frames)
        : batch_(batch), count_(batch.count_), base_(batch.outs_[0]) {
        alignas(64) double peak[kLanes], rate[kLanes];
        alignas(64) std::int64_t offset[kLanes];
        for (int k = 0; k < kLanes; ++k) {
            const int from = k < count_ ? k : 0;
            const Voice& voice = *batch.voices_[from];
            peak[k] = voice.peak;
            rate[k] = voice.peakDecay;
            // How far each output lies from the first, in doubles, for the gather.
            offset[k] = dsp::doublesBetween(base_, batch.outs_[from]);
            // Whether every follower's ε vanishes in the rounding throughout the run (see
            // follow()): the follower falls to no less than peak·(1 − frames·rate) in the run
            // (the 1 % margin covers each step's rounding, as in cannotRetireWithin).
            if (!(peak[k] * (1.0 - frames * rate[k]) * rate[k] > 1.01 * kEpsilonVanishes)) epsilonVanishes_ = false;
        }
        peak_ = _mm512_load_pd(peak);
        rate_ = _mm512_load_pd(rate);
        offsets_ = _mm512_load_si512(offset);
        for (int k = 0; k < kTaps; ++k) coefficients_[k] = _mm512_set1_pd(batch.voices_[0]->fir.coefficient(k));
    }

    // Frames f .. f + 7 of the N voices' FIRs into their outputs, each summed term by term in
    // the order process() sums them, and the followers stepped over those frames: the octets
    // are turned from a register per voice into a register per frame, lane by voice, on the
    // way (a gather of what was just stored would wait for the stores). kShort where
    // epsilonVanishes_.
    template <int N, bool kShort>
    [[VORLATEK_WIDE_LOOP]] void filterOctet(int f) {
        static_assert(N >= 1 && N <= kLanes);
        __m512d octet[kLanes];
        for (int v = 0; v < N; ++v) {
            const double* h = batch_.outs_[v] + kTaps - 1 + f;
            __m512d sum = _mm512_setzero_pd();
            for (int k = 0; k < kTaps; ++k) sum = _mm512_add_pd(sum, _mm512_mul_pd(_mm512_loadu_pd(h - k), coefficients_[k]));
            _mm512_storeu_pd(batch_.outs_[v] + f, sum);
            octet[v] = _mm512_abs_pd(sum);
        }
        if constexpr (N <= kLanes / 2) {
            // Four followers or fewer step in half a register: half the work.
            for (int v = N; v < kLanes / 2; ++v) octet[v] = octet[0];
            __m256d frame[kLanes];
            transposeHalf(octet, frame);
            __m256d peak = _mm512_castpd512_pd256(peak_);
            const __m256d rate = _mm512_castpd512_pd256(rate_);
            for (int j = 0; j < kLanes; ++j) {
                const __m256d fall = _mm256_mul_pd(peak, rate);
                peak = _mm256_sub_pd(peak, kShort ? fall : _mm256_add_pd(fall, _mm256_set1_pd(dsp::kEpsilon)));
                peak = _mm256_max_pd(frame[j], peak);
            }
            peak_ = _mm512_insertf64x4(peak_, peak, 0);
        } else {
            for (int v = N; v < kLanes; ++v) octet[v] = octet[0];
            transpose(octet);
            for (int j = 0; j < kLanes; ++j) follow<kShort>(octet[j]);
        }
    }
    // Frame f alone of every voice's FIR.
    void filterFrame(int f) {
        for (int v = 0; v < count_; ++v) batch_.outs_[v][f] = batch_.voices_[v]->fir.frameAt(batch_.outs_[v], f);
    }

    // Frame f of every follower, once its FIR output is there.
    [[VORLATEK_WIDE_LOOP]] void step(int f) {
        follow<false>(_mm512_abs_pd(_mm512_i64gather_pd(offsets_, base_ + f, 8)));
    }

    // After the run's `frames` frames: the peaks, magnitudes and FIR histories back into the
    // voices; the batch is then empty.
    [[VORLATEK_WIDE_LOOP]] void finish(int frames) {
        alignas(64) double peak[kLanes];
        _mm512_store_pd(peak, peak_);
        for (int k = 0; k < count_; ++k) {
            Voice& voice = *batch_.voices_[k];
            voice.peak = peak[k];
            voice.magnitude = std::fabs(batch_.outs_[k][frames - 1]);
            voice.fir.closeWindow(batch_.outs_[k], batch_.outs_[k], frames);
        }
        batch_.count_ = 0;
    }

    template <int N, bool kShort, class Work>
    [[VORLATEK_WIDE_LOOP]] void loop(int frames, Work& work) {
        int f = 0;
        for (; f + 8 <= frames; f += 8) {
            filterOctet<N, kShort>(f);
            work.octet(f);
        }
        for (; f < frames; ++f) {
            filterFrame(f);
            work.frame(f);
            step(f);
        }
        finish(frames);
    }

    // One frame of every follower, on the frame's |out| lane by voice: peak ← peak −
    // (peak·rate + ε), then the larger of it and |out| (on a tie or a NaN output, the peak, as
    // std::max(peak, |out|)). With kShort, peak ← peak − peak·rate: where peak·rate is at
    // least 2^-26, ε (1e-24) lies below half its last place and the sum rounds back to
    // peak·rate, so adding it changes nothing; left out, the chain from one frame's peak to
    // the next is a step shorter.
    template <bool kShort>
    [[VORLATEK_WIDE_LOOP]] void follow(__m512d magnitude) {
        const __m512d fall = _mm512_mul_pd(peak_, rate_);
        peak_ = _mm512_sub_pd(peak_, kShort ? fall : _mm512_add_pd(fall, _mm512_set1_pd(dsp::kEpsilon)));
        peak_ = _mm512_max_pd(magnitude, peak_);
    }

    static constexpr double kEpsilonVanishes = 0x1p-26;
    static_assert(dsp::kEpsilon < 0x1p-79, "ε must stay below half the last place of 2^-26");

    // Voices v .. v + 3 of r[v][frame] gathered by frame: b[j] holds frame j in its low half,
    // frame j + 4 in its high half.
    [[VORLATEK_WIDE_LOOP]] static void transposeFour(const __m512d* r, __m512d* b) {
        const __m512d a0 = _mm512_unpacklo_pd(r[0], r[1]);  // frames 0, 2, 4, 6 of voices 0, 1
        const __m512d a1 = _mm512_unpackhi_pd(r[0], r[1]);  // frames 1, 3, 5, 7
        const __m512d a2 = _mm512_unpacklo_pd(r[2], r[3]);
        const __m512d a3 = _mm512_unpackhi_pd(r[2], r[3]);
        const __m512i low = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0);
        const __m512i high = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
        b[0] = _mm512_permutex2var_pd(a0, low, a2);   // frames 0, 4
        b[1] = _mm512_permutex2var_pd(a1, low, a3);   // frames 1, 5
        b[2] = _mm512_permutex2var_pd(a0, high, a2);  // frames 2, 6
        b[3] = _mm512_permutex2var_pd(a1, high, a3);  // frames 3, 7
    }
    // r[v][j] ↔ r[j][v].
    [[VORLATEK_WIDE_LOOP]] static void transpose(__m512d* r) {
        __m512d b[kLanes];
        transposeFour(r, b);
        transposeFour(r + 4, b + 4);
        for (int j = 0; j < 4; ++j) {
            r[j] = _mm512_shuffle_f64x2(b[j], b[j + 4], 0x44);      // frame j of all eight
            r[j + 4] = _mm512_shuffle_f64x2(b[j], b[j + 4], 0xEE);  // frame j + 4
        }
    }
    // The same for voices 0 .. 3 alone: frame[j] holds frame j of the four.
    [[VORLATEK_WIDE_LOOP]] static void transposeHalf(const __m512d* r, __m256d* frame) {
        __m512d b[4];
        transposeFour(r, b);
        for (int j = 0; j < 4; ++j) {
            frame[j] = _mm512_castpd512_pd256(b[j]);
            frame[j + 4] = _mm512_extractf64x4_pd(b[j], 1);
        }
    }

    OutputFirBatch& batch_;
    const int count_;
    const double* base_;
    __m512d peak_, rate_;
    __m512i offsets_;
    __m512d coefficients_[kTaps];
    bool epsilonVanishes_ = true;
};
template <class Work>
void OutputFirBatch::runWide(int frames, Work& work) {
    if (count_ == 0 || count_ > Lanes::kLanes) {
        // Nothing to filter, or more than the lanes take (the engine has seven voices with
        // output FIRs): the batch's own loops first.
        run(frames);
        int f = 0;
        for (; f + 8 <= frames; f += 8) work.octet(f);
        for (; f < frames; ++f) work.frame(f);
        return;
    }
    switch (count_) {
        case 1: return Lanes::run<1>(*this, frames, work);
        case 2: return Lanes::run<2>(*this, frames, work);
        case 3: return Lanes::run<3>(*this, frames, work);
        case 4: return Lanes::run<4>(*this, frames, work);
        case 5: return Lanes::run<5>(*this, frames, work);
        case 6: return Lanes::run<6>(*this, frames, work);
        case 7: return Lanes::run<7>(*this, frames, work);
        default: return Lanes::run<8>(*this, frames, work);
    }
}
#pragma GCC diagnostic pop
#endif

}  // namespace vorlatek
