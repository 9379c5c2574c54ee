#pragma once
// The activity followers of the voices whose steps pass an output FIR, over one run.
//
// A follower is a chain of dependent operations, one link a frame, and the FIR itself has
// none: run inside the FIR's loop it held that loop to the chain's pace. The batch takes them
// out of it and steps up to four in one loop, frame by frame, so that their chains overlap.
// Each follower sees the same outputs in the same order as before.
//
// Where the processor has AVX-512, Lanes takes up to eight followers side by side in one
// register, a frame at a time, for a loop that has other work to overlap their chain with
// (the engine's mix): each lane steps as PeakFollower does, to the bit.

#include "engine/DspMath.h"
#include "engine/EngineRun.h"
#include "engine/Instrument.h"
#include "engine/PeakFollower.h"
#include "engine/ProcessorFeatures.h"
#include "engine/Voice.h"

#include <cstdint>

#if defined(VORLATEK_ENGINE_WIDE)
#include <immintrin.h>
#endif

namespace vorlatek {

class FollowerBatch {
public:
    // The voice's follower is to watch out[0..frames) of the run.
    void add(Voice& voice, const double* out) {
        voices_[count_] = &voice;
        outs_[count_] = out;
        ++count_;
    }
    // Steps every follower added since the last run over `frames` frames and leaves its level
    // in the voice's peak.
    void run(int frames) {
        int first = 0;
        for (; first + 3 < count_; first += 4) runGroup<4>(first, frames);
        switch (count_ - first) {
            case 3: runGroup<3>(first, frames); break;
            case 2: runGroup<2>(first, frames); break;
            case 1: runGroup<1>(first, frames); break;
            default: break;
        }
        count_ = 0;
    }

    int count() const { return count_; }

#if defined(VORLATEK_ENGINE_WIDE)
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
    const double* outs_[kInstrumentCount] = {};
    int count_ = 0;
};

#if defined(VORLATEK_ENGINE_WIDE)
// GCC 12's AVX-512 headers pass an undefined vector where no lane of it is used (the gather),
// and then warn that it may be used uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
class FollowerBatch::Lanes {
public:
    static constexpr int kLanes = 8;

    // The batch's followers (at most kLanes of them); lanes beyond them repeat the first and
    // are never stored.
    [[VORLATEK_WIDE_LOOP]] explicit Lanes(FollowerBatch& batch) : batch_(batch) {
        alignas(64) double peak[kLanes], rate[kLanes];
        alignas(64) std::int64_t offset[kLanes];
        base_ = batch.count_ > 0 ? batch.outs_[0] : nullptr;
        for (int k = 0; k < kLanes; ++k) {
            const int from = k < batch.count_ ? k : 0;
            const Voice* voice = batch.count_ > 0 ? batch.voices_[from] : nullptr;
            peak[k] = voice ? voice->peak : 0.0;
            rate[k] = voice ? voice->peakDecay : 0.0;
            // How far each output lies from the first, in doubles, for the gather.
            offset[k] = voice ? (reinterpret_cast<std::intptr_t>(batch.outs_[from]) -
                                 reinterpret_cast<std::intptr_t>(base_)) /
                                    static_cast<std::intptr_t>(sizeof(double))
                              : 0;
        }
        peak_ = _mm512_load_pd(peak);
        rate_ = _mm512_load_pd(rate);
        offsets_ = _mm512_load_si512(offset);
    }

    // Frame f of every follower: peak ← peak − (peak·rate + ε), then the larger of it and
    // |out| (on a tie or a NaN output, the peak, as std::max(peak, |out|)).
    [[VORLATEK_WIDE_LOOP]] void step(int f) {
        if (!base_) return;
        const __m512d out = _mm512_abs_pd(_mm512_i64gather_pd(offsets_, base_ + f, 8));
        peak_ = _mm512_sub_pd(peak_, _mm512_add_pd(_mm512_mul_pd(peak_, rate_), _mm512_set1_pd(dsp::kEpsilon)));
        peak_ = _mm512_max_pd(out, peak_);
    }

    // The peaks back into the voices; the batch is then empty.
    [[VORLATEK_WIDE_LOOP]] void finish() {
        alignas(64) double peak[kLanes];
        _mm512_store_pd(peak, peak_);
        for (int k = 0; k < batch_.count_; ++k) batch_.voices_[k]->peak = peak[k];
        batch_.count_ = 0;
    }

private:
    FollowerBatch& batch_;
    const double* base_;
    __m512d peak_, rate_;
    __m512i offsets_;
};
#pragma GCC diagnostic pop
#endif

}  // namespace vorlatek
