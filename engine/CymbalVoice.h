#pragma once
// Cymbal: the shared metal oscillators through three drive stages. The high stage, gated
// by a 0.97 ms attack envelope, is the stick's ping; the mid stage under the two-stage body
// envelope is the wash; the low stage, from the lower band under a slow tail envelope and
// softened by a 5 kHz low-pass, is the long shimmer. "CY Tone" trades the mid and low
// bands for the ping (Tone 0: mid and low only; Tone 1: ping ×2, mid and low ×0.5);
// "CY Decay" stretches the body and the tail.

#include "engine/Biquad.h"
#include "engine/DriveStage.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <algorithm>

namespace vorlatek {

class CymbalVoice final : public Voice {
public:
    CymbalVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // The weight of the ping against the mid and low bands, used directly in the mix.
    void setTone(double x);
    // Rates of the body's first and last stage and of the tail.
    void setDecay(double x);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: a run of one.
    double step(const SharedSignals& in, double level) {
        double out = 0.0;
        stepRun(&in, &level, &out, 1);
        return out;
    }
    // `frames` samples at levels level[0..frames), before the output FIR, into out[]. Where
    // the processor has AVX-512 the three stages go side by side in the lanes of one register.
    void stepRun(const SharedSignals* in, const double* level, double* out, int frames);
    static constexpr bool kHasOutputFir = true;
    // Its runs go in a loop of their own (stepRun), not beside another voice.
    static constexpr bool kStepsAlone = true;

    double amplitude = 0.0;
    double countdown = 0.0;  // samples left of the attack
    double attackTarget = 0.0;
    double attack = 0.0;
    double attackRate = 0.0;
    double decay = 0.0;
    double fall1 = 0.0;
    double fall1Rate = 0.0;
    double fall2 = 0.0;
    double fall2Rate = 0.0;
    double fall3 = 0.0;
    double fall3Rate = 0.0;
    double body = 0.0;
    double tailSource = 0.0;
    double tailSourceRate = 0.0;
    double tailSmooth = 0.0;
    double tailSmoothRate = 0.0;
    double tail = 0.0;
    DriveStage lowStage{kCymbalLowDrive};    // then high-pass 2800 Hz Q 2 and the 5 kHz low-pass
    DriveStage midStage{kMetalDrive};        // then high-pass 8840 Hz Q 1.5
    DriveStage highStage{kMetalDrive};       // then high-pass 8840 Hz Q 7.5
    double low = 0.0;   // high-passed low stage of the last sample, before the low-pass
    double mid = 0.0;
    double high = 0.0;
    double tone = 0.0;
    double lowState = 0.0;
    double lowA = 0.0;
};

}  // namespace vorlatek
