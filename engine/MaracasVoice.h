#pragma once
// Maracas: the shared 2 kHz noise with its positive half folded into small negative
// values, which gives the one-sided, grainy rattle of seeds hitting a shell. A 20 ms swell
// brings it in and a short fall lets it go; a resonant high-pass whose corner "MA Tone"
// moves from 5 kHz (soft shaker) to 15 kHz (thin hiss) shapes it before the output FIR.

#include "engine/Biquad.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class MaracasVoice final : public Voice {
public:
    MaracasVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Tone 0..1: high-pass corner 10009·(t + 0.5) Hz, Q 1.5; states are kept.
    void setTone(double t);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = true;

    // Negative noise passes unchanged; a positive n becomes 1.5·u − 0.5·u³ − 1 with
    // u = n + 1, that is −1.5·n² − 0.5·n³, a small negative value.
    static double foldNoise(double n) {
        const double u = n + 1.0;
        const double folded = 1.5 * u - 0.5 * (u * u * u) - 1.0;
        return n > 0.0 ? folded : n;
    }

    double tone = 0.0;
    dsp::Biquad highPass;
    double filtered = 0.0;
    double countdown = 0.0;  // samples left of the swell
    double envelopeTarget = 0.0;
    double stage1 = 0.0;
    double stage1Rate = 0.0;
    double stage2 = 0.0;
    double stage2Rate = 0.0;
    double amplitude = 0.0;        // 2.645·velocity·noiseCompensation
    double gain = 0.0;
    double cornerFactor = 1.0;  // tone + 0.5
    double noiseCompensation = 1.0;  // the level at this rate against 44.1 kHz (exactly 1 there)

private:
    void tuneHighPass();
};

inline double MaracasVoice::step(const SharedSignals& in, double level) {
    if (countdown <= 0.0) {
        envelopeTarget = 0.0;
        stage1Rate = 0.02 * rateFactor;
    }
    countdown -= 1.0;
    gain = 1.1 * stage2;
    const double x = -(gain * amplitude * foldNoise(in.noiseA));
    filtered = highPass.process(x);
    const double v = filtered * level * -3.85;
    dsp::smooth(stage1, envelopeTarget, stage1Rate);
    dsp::smooth(stage2, stage1, stage2Rate);
    return v;
}

}  // namespace vorlatek
