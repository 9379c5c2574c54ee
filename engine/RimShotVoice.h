#pragma once
// Rim shot: two resonators (442 and 1745 Hz at the middle tuning) struck together. The
// low one is clipped, the high one boosted; their difference drives an exponential
// shaper that only ever swings negative, so the hit is a burst of sharp one-sided spikes
// under a fast envelope. Swings below −0.5 get a 10 kHz high-passed copy added for extra
// crack; a 570 Hz high-pass takes out the body and the output FIR smooths the top.
// Tuning moves both resonators together (×0.905 to ×1.131), Decay sets their damping.

#include "engine/Biquad.h"
#include "engine/EngineRun.h"
#include "engine/FastMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/PeakFollower.h"
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
    // One sample at `level`, before the output FIR: a run of one.
    double step(const SharedSignals&, double level) { return stepAsRunOfOne(*this, level); }
    // `frames` steps at levels level[0..frames), into out[], each output also to follow().
    template <class Follow>
    [[gnu::always_inline]] inline void stepRun(const double* __restrict level, double* __restrict out, int frames,
                                               Follow& follow);
    static constexpr bool kHasOutputFir = true;
    // The step (two resonators, an exponential and two filters) fills the registers: beside another
    // voice it runs slower than alone.
    static constexpr bool kStepsAlone = true;

    double decay = 0.0;
    double tuning = 0.0;
    // The low body in lane 0, the high ring in lane 1, struck by the two strikes (and their
    // inputs of the last sample) in the same lanes.
    dsp::ResonatorPair resonators;
    dsp::Pair inputs = {0.0, 0.0};
    double clipped = 0.0;
    double boosted = 0.0;
    dsp::Biquad highPass;             // 570 Hz, Q 3
    double countdown = 0.0;           // samples until the envelope is released
    double envelopeTarget = 0.0;
    dsp::Pair strikes = {0.0, 0.0};
    dsp::Pair strikeRates = {0.0, 0.0};
    double amplitude = 0.0;           // 2.645·velocity
    double envelope = 0.0;
    double envelopeRate = 0.0;
    double decayFactor = 0.0;
    dsp::OnePoleHighPass edge;        // 10 kHz
};

// The step's work splits into passes over the run: the envelopes and both resonators up to
// the shaper's input; the shaper's exponentials, which wait on nothing but that input and so
// are worked out several at a time; the shaper's output, the crack and the high-pass. Each
// sample sees the same inputs in the same order as a step at a time would give it.
template <class Follow>
void RimShotVoice::stepRun(const double* __restrict level, double* __restrict out, int frames, Follow& follow) {
    alignas(16) double drive[kMaxRunFrames];   // the shaper's input
    alignas(16) double swing[kMaxRunFrames];   // 50 × that
    alignas(16) double shaped[kMaxRunFrames];  // its exponential
    alignas(16) double gain[kMaxRunFrames];    // envelope × amplitude
    if (frames <= 0) return;
    frames = frames < kMaxRunFrames ? frames : kMaxRunFrames;

    {
        double left = countdown, target = envelopeTarget, env = envelope, envRate = envelopeRate;
        dsp::Pair strike = strikes, strikeRate = strikeRates, in = inputs;
        const double gainOfHit = amplitude;
        dsp::ResonatorPair pair = resonators;
        double clip = clipped, boost = boosted;
        for (int f = 0; f < frames; ++f) {
            if (left <= 0.0) {
                target = 0.0;
                envRate = dsp::limitRate(0.005 * rateFactor);
                strikeRate[0] = dsp::limitRate(0.4 * rateFactor);
            }
            left -= 1.0;
            in = dsp::Pair{0.5, 1.0} * strike;
            const dsp::Pair bands = dsp::Pair{2.5, 1.25} * pair.process(in);
            clip = std::clamp(bands[0], -1.0, 1.0);
            boost = bands[1];
            const double x = (0.5 * clip - 4.5 * boost) * 0.2;
            drive[f] = x;
            swing[f] = 50.0 * x;
            gain[f] = env * gainOfHit;
            env = env - (env - target) * envRate + dsp::kEpsilon;
            strike = strike - (strike * strikeRate + dsp::kEpsilon);  // dsp::decay of both
        }
        countdown = left;
        envelopeTarget = target;
        envelope = env;
        envelopeRate = envRate;
        strikes = strike;
        strikeRates = strikeRate;
        resonators = pair;
        inputs = in;
        clipped = clip;
        boosted = boost;
    }

    // Exponential shaper: 0 for a positive drive, down toward −1 for a negative one.
    dsp::fastExpEach(swing, shaped, frames);

    {
        dsp::OnePoleHighPass crackFilter = edge;
        dsp::Biquad hp = highPass;
        for (int f = 0; f < frames; ++f) {
            double y = drive[f] >= 0.0 ? 0.0 : shaped[f] - 1.0;
            y = gain[f] * y;
            const double crack = crackFilter.processWithoutEpsilon(y);
            if (y < -0.5) y = crack + y;
            const double v = hp.process(y) * level[f] * -0.5;
            out[f] = v;
            follow(v);
        }
        edge = crackFilter;
        highPass = hp;
    }
}

}  // namespace vorlatek
