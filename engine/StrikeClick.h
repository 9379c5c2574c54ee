#pragma once
// The click that strikes the conga and tom resonators: a pulse rises to its height for
// about a millisecond and falls back; a 900 Hz high-pass turns it into a sharp edge whose
// positive half is cut to a tenth, a lopsided tick with most of its energy going down.

#include "engine/DspMath.h"
#include "engine/OnePoleHighPass.h"

#include <cstdint>

namespace vorlatek {

struct StrikeClick {
    std::int32_t countdown = -1;  // samples until the pulse is released
    double pulseTarget = 0.0;
    double pulse = 0.0;
    double pulseRate = 0.0;
    dsp::OnePoleHighPass edge;    // high-pass of −pulse
    double shapedEdge = 0.0;

    // Retunes the edge filter and clears it.
    void setSampleRate(double sampleRate);
    void start(double height, double sampleRate, double rateFactor);
    // Advances one sample and returns the shaped edge.
    //
    // A few hundred samples after its release the pulse and the edge filter settle where
    // their ε terms hold them: a step then leaves every state exactly as it was, and so
    // would every later one. From then on the click just repeats its last edge until the
    // next start().
    double step(double rateFactor) {
        if (settled_) return shapedEdge;
        if (countdown == 0) {
            pulseTarget = 0.0;
            pulseRate = dsp::limitRate(0.5 * rateFactor);
        }
        if (countdown >= 0) --countdown;  // stays at −1 once the pulse is released
        const double pulseBefore = pulse, edgeBefore = edge.y, inputBefore = edge.xPrev;
        shapedEdge = edge.process(-pulse);
        if (shapedEdge > 0.0) shapedEdge *= 0.1;
        dsp::smooth(pulse, pulseTarget, pulseRate);
        settleAfter(pulseBefore, edgeBefore, inputBefore);
        return shapedEdge;
    }
    // After a step from these states, taken here or elsewhere (the engine's lanes): whether it
    // left every state where it was.
    void settleAfter(double pulseBefore, double edgeBefore, double inputBefore) {
        settled_ = countdown < 0 && dsp::sameBits(pulse, pulseBefore) && dsp::sameBits(edge.y, edgeBefore) &&
                   dsp::sameBits(edge.xPrev, inputBefore);
    }

    // Whether the click has settled: every step from now on returns the same edge.
    bool settled() const { return settled_; }

private:
    bool settled_ = false;
};

}  // namespace vorlatek
