#pragma once
// Tom: the conga's struck resonator with a low rumble on top. The click (see StrikeClick)
// is as high as the velocity asks; it strikes a resonator tuned by Tuning (×0.905 to
// ×1.131 of the base pitch) and damped by Decay (×4 to ×0.25). Snappy mixes in the shared
// rumble noise, band-limited by a 353 Hz high-pass and a 501 Hz low-pass, under its own
// slow envelope that does not follow Decay.

#include "engine/CongaVoice.h"
#include "engine/OnePoleHighPass.h"
#include "engine/OnePoleLowPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class TomVoice : public Voice {
public:
    TomVoice(double baseFrequency, double dampingScale, double outputGain);

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // All take the raw parameter, 0..1 (values outside are clamped).
    void setTuning(double t);
    void setDecay(double d);
    void setSnappy(double s);
    // One sample of the sounding voice; reads the rumble noise noiseB.
    double render(const SharedSignals& in);

    static constexpr double kNoiseHighCorner = 353.0;  // Hz, high-pass of the rumble
    static constexpr double kNoiseLowCorner = 501.0;   // Hz, low-pass of the rumble

    double tuning = 0.0;
    double decay = 0.0;
    StrikeClick click;        // pulse of height 4.17·velocity
    double noiseEnvelope = 0.0;
    double noiseDecay = 0.0;
    const double baseFrequency;
    const double dampingScale;
    const double outputGain;
    double tuneFactor = 0.0;
    double decayFactor = 0.0;
    double snappy = 1.0;
    dsp::ResonatorFilter resonator;  // F and q are set by the tuning and decay setters
    dsp::OnePoleHighPass hiss;       // rumble high-pass
    dsp::OnePoleLowPass hush;        // rumble low-pass
};

}  // namespace vorlatek
