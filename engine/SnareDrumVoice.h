#pragma once
// Snare drum: two resonators at 170 Hz and 340 Hz make the drum body, struck by a short
// pulse and its 12 kHz edge; gated noise, high-passed and rung through a wide resonator
// near 3.4 kHz, makes the snares.
//   Tone   moves the body from the 170 Hz head alone (0) towards a ringing 340 Hz (1).
//   Decay  sets how long the snares rattle: short at 0, long at 1 (acts on a sounding note).
//   Snappy sets the level of the snares; at 0 only the body sounds.

#include "engine/OnePoleHighPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <cstdint>
#include <limits>

namespace vorlatek {

class SnareDrumVoice final : public Voice {
public:
    SnareDrumVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // One sample of the sounding voice.
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }

    void setTone(double value);
    void setDecay(double value);
    void setSnappy(double value);
    // Lets the two body levels follow Tone at the level-smoothing rate; once per frame,
    // whether or not the voice sounds (no work once they have come to rest).
    void smoothTone();
    // A frame of knob smoothing: the body levels, then the voice's level.
    void followKnobs() {
        smoothTone();
        followLevel();
    }
    bool otherGlidesAtRest() const { return toneLevel == toneLevelRestTarget && bodyLevel == bodyLevelRestTarget; }
    bool knobsAtRest() const { return levelAtRest() && otherGlidesAtRest(); }
    // The body levels jump to where Tone puts them (no glide).
    void settleTone();
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;

    // Knob values, 0..1.
    double tone = 0.0;
    double snappy = 0.0;
    double decay = 0.0;
    // Derived from the knobs.
    double toneLevel = 0.0;  // level of the 340 Hz resonator
    double toneLevelSmoothed = 0.0;
    double snappyGain = 0.0;
    double decayRate = 0.0;  // snare-envelope fall, 5 (fast) .. 0.2 (slow)
    double bodyLevel = 0.0;  // level of the whole body
    double bodyLevelSmoothed = 0.0;
    // The targets at which the two came to rest, NaN while they move (see dsp::smoothToRest).
    double toneLevelRestTarget = std::numeric_limits<double>::quiet_NaN();
    double bodyLevelRestTarget = std::numeric_limits<double>::quiet_NaN();

    std::int32_t pulseCountdown = 0;
    double pulseTarget = 0.0;
    double amplitude = 0.0;  // (2.645·velocity)²·noiseCompensation, of the snares
    double noiseCompensation = 1.0;  // the snares' level at this rate against 44.1 kHz (exactly 1 there)
    std::int32_t envelopeCountdown = 0;
    double envelopeTarget = 0.0;
    double pulse = 0.0;
    double pulseRate = 0.0;
    double envelope = 0.0;   // snare envelope
    double envelopeRate = 0.0;
    double noiseGate = 0.0;

    dsp::OnePoleHighPass edge;  // 12 kHz high-pass of the pulse: the stick's crack
    dsp::OnePoleHighPass hiss;  // high-pass of the gated noise
    dsp::ResonatorPair drum;      // the 170 Hz head in lane 0, its 340 Hz overtone in lane 1
    dsp::ResonatorFilter snares;  // wide, near 3.4 kHz

private:
    void updateToneLevels();
    void updateDecayRate();
};

inline double SnareDrumVoice::step(const SharedSignals& in, double level) {
    // The countdowns stop at −1 once they have fired, so they never wrap around.
    if (pulseCountdown == 0) {
        pulseTarget = 0.0;
        pulseRate = dsp::limitRate(0.5 * rateFactor);
    }
    if (pulseCountdown >= 0) --pulseCountdown;
    if (envelopeCountdown == 0) envelopeTarget = 0.0;
    if (envelopeCountdown >= 0) --envelopeCountdown;
    // Recomputed every sample so that Decay acts on a sounding note.
    if (envelopeTarget == 0.0) envelopeRate = decayRate * rateFactor * 0.0005;

    const double crack = edge.process(pulse);
    const dsp::Pair bands = drum.process(dsp::Pair{20.0 * crack + pulse, pulseTarget});
    const double body = 0.5 * crack + bands[0];
    const double ring = bands[1];

    // Noise gate: rises toward 1 while the noise is positive, shut while it is negative.
    noiseGate = noiseGate - (noiseGate - 1.0) * 0.2;
    if (in.noiseA < 0.0) noiseGate = 0.0;
    noiseGate = envelope * noiseGate;

    const double rattle = 2.0 * snares.process(hiss.process(noiseGate) * amplitude);
    const double out =
        ((5.0 * ring * toneLevelSmoothed + body) * bodyLevelSmoothed * 0.06 - rattle * snappyGain) * level;

    dsp::smooth(pulse, pulseTarget, pulseRate);
    dsp::smooth(envelope, envelopeTarget, envelopeRate);
    return out;
}

}  // namespace vorlatek
