#pragma once
// The activity followers of the voices whose steps pass an output FIR, over one run.
//
// A follower is a chain of dependent operations, one link a frame, and the FIR itself has
// none: run inside the FIR's loop it held that loop to the chain's pace. The batch takes them
// out of it and steps up to four in one loop, frame by frame, so that their chains overlap.
// Each follower sees the same outputs in the same order as before.

#include "engine/EngineRun.h"
#include "engine/Instrument.h"
#include "engine/PeakFollower.h"
#include "engine/Voice.h"

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

}  // namespace vorlatek
