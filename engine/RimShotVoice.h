#pragma once
// Rim shot: two resonators (442 and 1745 Hz at the middle tuning) struck together. The
// low one is clipped, the high one boosted; their difference drives an exponential
// shaper that only ever swings negative, so the hit is a burst of sharp one-sided spikes
// under a fast envelope. Swings below −0.5 get a 10 kHz high-passed copy added for extra
// crack; a 570 Hz high-pass takes out the body and the output FIR smooths the top.
// Tuning moves both resonators together (×0.905 to ×1.131), Decay sets their damping.

#include "engine/Biquad.h"
#include "engine/FastMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

class RimShotVoice : public Voice {
public:
    RimShotVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Both take the raw parameter, 0..1 (values outside are clamped).
    void setTuning(double t);
    void setDecay(double d);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = true;
    // The step (two resonators, an exponential and two filters) fills the registers: beside another
    // voice it runs slower than alone.
    static constexpr bool kStepsAlone = true;

    double decay = 0.0;
    double tuning = 0.0;
    double input1 = 0.0;
    dsp::ResonatorFilter resonator1;  // the low body
    double clipped = 0.0;
    double input2 = 0.0;
    dsp::ResonatorFilter resonator2;  // the high ring
    double boosted = 0.0;
    dsp::Biquad highPass;             // 570 Hz, Q 3
    double countdown = 0.0;           // samples until the envelope is released
    double envelopeTarget = 0.0;
    double strike1 = 0.0;
    double strike1Rate = 0.0;
    double strike2 = 0.0;
    double strike2Rate = 0.0;
    double amplitude = 0.0;           // 2.645·velocity
    double envelope = 0.0;
    double envelopeRate = 0.0;
    double decayFactor = 0.0;
    dsp::OnePoleHighPass edge;        // 10 kHz
};

inline double RimShotVoice::step(const SharedSignals&, double level) {
    if (countdown <= 0.0) {
        envelopeTarget = 0.0;
        envelopeRate = dsp::limitRate(0.005 * rateFactor);
        strike1Rate = dsp::limitRate(0.4 * rateFactor);
    }
    countdown -= 1.0;

    input1 = 0.5 * strike1;
    input2 = strike2;
    clipped = std::clamp(2.5 * resonator1.process(input1), -1.0, 1.0);
    boosted = 1.25 * resonator2.process(input2);

    // Exponential shaper: 0 for a positive drive, down toward −1 for a negative one.
    double y = (0.5 * clipped - 4.5 * boosted) * 0.2;
    y = y >= 0.0 ? 0.0 : dsp::fastExp(50.0 * y) - 1.0;
    y = envelope * amplitude * y;
    const double crack = edge.processWithoutEpsilon(y);
    if (y < -0.5) y = crack + y;
    const double v = highPass.process(y) * level * -0.5;

    envelope = envelope - (envelope - envelopeTarget) * envelopeRate + dsp::kEpsilon;
    dsp::decay(strike1, strike1Rate);
    dsp::decay(strike2, strike2Rate);
    return v;
}

}  // namespace vorlatek
