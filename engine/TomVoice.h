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
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`: the per-sample step itself.
    double step(const SharedSignals& in, double level);

    static constexpr double kNoiseHighCorner = 353.0;  // Hz, high-pass of the rumble
    static constexpr double kNoiseLowCorner = 501.0;   // Hz, low-pass of the rumble

    double noiseEnvelope = 0.0;
    double noiseDecay = 0.0;
    double snappy = 1.0;
    dsp::OnePoleHighPass hiss;  // rumble high-pass
    dsp::OnePoleLowPass hush;   // rumble low-pass
};

}  // namespace vorlatek
