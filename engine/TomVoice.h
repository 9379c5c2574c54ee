#pragma once
// Tom: the conga's struck resonator (see StruckResonatorVoice) with a low rumble on top.
// The click is as high as the velocity asks. Snappy mixes in the shared rumble noise,
// band-limited by a 353 Hz high-pass and a 501 Hz low-pass, under its own slow envelope
// that does not follow Decay.

#include "engine/OnePoleHighPass.h"
#include "engine/OnePoleLowPass.h"
#include "engine/SharedSignals.h"
#include "engine/StruckResonatorVoice.h"

namespace vorlatek {

class TomVoice final : public StruckResonatorVoice {
public:
    TomVoice(double baseFrequency, double dampingScale, double outputGain);

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Takes the raw parameter, 0..1 (values outside are clamped).
    void setSnappy(double s);
    // One sample of the sounding voice; reads the rumble noise noiseB.
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;

    static constexpr double kNoiseHighCorner = 353.0;  // Hz, high-pass of the rumble
    static constexpr double kNoiseLowCorner = 501.0;   // Hz, low-pass of the rumble

    double noiseEnvelope = 0.0;
    double noiseDecay = 0.0;
    double snappy = 1.0;
    dsp::OnePoleHighPass hiss;  // rumble high-pass
    dsp::OnePoleLowPass hush;   // rumble low-pass
};

inline double TomVoice::step(const SharedSignals& in, double level) {
    const double band = resonator.process(click.step(rateFactor));
    const double rumble = hush.process(hiss.process(in.noiseB));
    const double out = (rumble * snappy * noiseEnvelope * 0.15 + band) * level * outputGain + dsp::kEpsilon;
    dsp::decay(noiseEnvelope, noiseDecay);
    return out;
}

}  // namespace vorlatek
