#pragma once
// Conga: a resonator pinged by a short click. Tuning moves the resonator around its base
// pitch (×0.905 to ×1.131), Decay sets its damping (×4 short to ×0.25 long). Low, mid
// and high conga differ only in base pitch, damping and output gain.

#include "engine/OnePoleHighPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <cstdint>

namespace vorlatek {

// The click that strikes the conga and tom resonators: a pulse rises to its height for
// about a millisecond and falls back; a 900 Hz high-pass turns it into a sharp edge whose
// positive half is cut to a tenth, a lopsided tick with most of its energy going down.
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
    double step(double rateFactor);
};

class CongaVoice : public Voice {
public:
    CongaVoice(double baseFrequency, double dampingScale, double outputGain);

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Both take the raw parameter, 0..1 (values outside are clamped).
    void setTuning(double t);
    void setDecay(double d);
    // One sample of the sounding voice.
    double render(const SharedSignals& in);

    double tuning = 0.0;
    double decay = 0.0;
    double amplitude = 0.0;  // 2.645·velocity
    StrikeClick click;       // pulse of height 1; the amplitude scales its edge
    const double baseFrequency;
    const double dampingScale;
    const double outputGain;
    double tuneFactor = 0.0;
    double decayFactor = 0.0;
    dsp::ResonatorFilter resonator;  // F, q, its states; its band is the voice's tone
};

}  // namespace vorlatek
