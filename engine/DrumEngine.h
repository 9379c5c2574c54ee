#pragma once
// The drum engine: seventeen voices, the sources they share, mute, solo, accent and master
// volume. The caller hands it the triggers that fall on a frame, then renders a run of frames
// up to the next trigger. Within a run the engine works source by source and voice by voice:
// the shared sources first for the whole run, then each sounding voice over the run into its
// own buffer, then the mix. Every value is the one a frame-by-frame render would give, to the
// last bit: each source and voice sees the same inputs in the same order, and the master sum
// adds the voices in instrument order in every frame. All the arithmetic is double precision;
// only the rendered rows are float. Nothing here allocates, locks or throws after
// construction.

#include "engine/BassDrumVoice.h"
#include "engine/ClavesVoice.h"
#include "engine/ClosedHiHatVoice.h"
#include "engine/CongaVoice.h"
#include "engine/CowBellVoice.h"
#include "engine/CymbalVoice.h"
#include "engine/HandClapVoice.h"
#include "engine/LaserGunVoice.h"
#include "engine/MaracasVoice.h"
#include "engine/OpenHiHatVoice.h"
#include "engine/RimShotVoice.h"
#include "engine/TomVoice.h"
#include "engine/EngineFrame.h"
#include "engine/EngineRun.h"
#include "engine/OutputFirBatch.h"
#include "engine/Instrument.h"
#include "engine/ParameterIndex.h"
#include "engine/MetalSource.h"
#include "engine/NoiseSource.h"
#include "engine/SharedSignals.h"
#include "engine/SnareDrumVoice.h"
#include "engine/StruckLanes.h"
#include "engine/TriggerPulse.h"

#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace vorlatek {

class DrumEngine {
public:
    DrumEngine();
    DrumEngine(const DrumEngine&) = delete;
    DrumEngine& operator=(const DrumEngine&) = delete;

    // Recomputes and resets the shared sources, then every voice, and settles the levels.
    // Rates that are not finite and positive are ignored.
    void setSampleRate(float rate);
    // Every smoothed level, the snare's body levels and the master volume jump to their
    // knobs: the glide is for knob moves, and a hit right after loading (a program, a
    // chunk, a new instance) or a rate change must not be louder than the same hit later.
    void settleLevels();
    // index 0..92 with a value 0..1; other indices are ignored, values outside 0..1 are
    // clamped into it and NaN is ignored.
    void setParameter(int index, float value);
    // Only enabled instruments take triggers: all of them, or only the soloed ones when any
    // is soloed, or else all but the muted ones.
    void updateEnabled();
    // A step of instrument i (0..16; 17 = accent row, which only fires the trigger pulse
    // when it is the trigger-output instrument).
    void triggerInstrument(int i, bool instrumentAccent, bool globalAccent);
    // The same with a velocity of the engine's scale: 48/127 a plain step, up to 1.
    void triggerInstrumentAt(int i, double velocity);
    // The velocity a MIDI note of velocity 1..127 plays at: up to 64 a plain step, then
    // rising to an accented step with the accent row on at 127.
    double noteVelocity(int midiVelocity) const;
    void startTriggerPulse();
    // Renders `frames` frames (1..kMaxRunFrames; others are limited to that range)
    // into the engine's own rows, valid until the next render.
    const EngineRun& renderRun(int frames);
    // One frame, the same as a run of one.
    void renderFrame(EngineFrame& frame);

    int triggerOutputInstrument() const { return triggerOutputInstrument_; }
    void setTriggerOutputInstrument(int i) { triggerOutputInstrument_ = i; }

    double sampleRate() const { return sampleRate_; }
    int mute(int i) const { return mute_[i]; }
    int solo(int i) const { return solo_[i]; }
    int enabled(int i) const { return enabled_[i]; }
    double masterVolume() const { return masterVolume_; }
    double masterVolumeSmoothed() const { return masterVolumeSmoothed_; }
    double accentLevel() const { return accentLevel_; }
    double hiHatFiltersFrequency() const { return hiHatFiltersFrequency_; }

    Voice& voice(int i) { return *voices_[i]; }
    const Voice& voice(int i) const { return *voices_[i]; }
    const std::array<Voice*, kInstrumentCount>& voices() const { return voices_; }
    // What each voice output in the last frame rendered (0 for a silent voice).
    const std::array<double, kInstrumentCount>& voiceOut() const { return voiceOut_; }

    BassDrumVoice& bassDrum() { return bassDrum_; }
    SnareDrumVoice& snareDrum() { return snareDrum_; }
    OpenHiHatVoice& openHiHat() { return openHiHat_; }

    TriggerPulse& triggerPulse() { return triggerPulse_; }
    MetalSource& metalSource() { return metalSource_; }
    NoiseSource& noiseSource() { return noiseSource_; }
    // The shared sources' outputs in the last frame rendered.
    const SharedSignals& sharedSignals() const { return shared_[run_.frames > 0 ? run_.frames - 1 : 0]; }

private:
    // The voice of instrument I, as its own class.
    template <int I>
    auto& voiceAt();
    // A run of voice I: a silent one only follows its knobs, one near the end of its note
    // renders frame by frame; those that render the run in one loop are left to renderAlone
    // (a voice that steps alone, and the last of an odd number) or renderPair.
    enum class Loop { None, Alone, Paired };
    template <int I>
    Loop prepareVoice(int frames);
    template <int I>
    void renderAlone(int frames);
    template <int I, int J>
    void renderPair(int frames);
    // Tables of the above by instrument.
    template <std::size_t... I>
    static constexpr auto prepareTable(std::index_sequence<I...>);
    template <std::size_t... I>
    static constexpr auto aloneTable(std::index_sequence<I...>);
    template <std::size_t... K>
    static constexpr auto pairTable(std::index_sequence<K...>);
    template <int I, int J>
    static constexpr void (DrumEngine::*pairEntry())(int);
#if defined(VORLATEK_ENGINE_WIDE)
    // Takes the congas, toms and claves among paired[0..count) that fit StruckLanes out of the
    // list and renders them in lanes, if there are two or more; returns how many are left.
    int renderStruckLanes(int* paired, int count, int frames);
#endif

    // The voices and sources keep their own rate-derived constants.
    double sampleRate_ = 44100.0;

    std::array<std::int32_t, kInstrumentCount> mute_{};
    std::array<std::int32_t, kInstrumentCount> solo_{};
    std::array<std::int32_t, kInstrumentCount> enabled_{};
    std::int32_t triggerOutputInstrument_ = kCowBell;

    // The voices, in instrument order.
    BassDrumVoice bassDrum_;
    SnareDrumVoice snareDrum_;
    CongaVoice lowConga_{190.0, 0.023, 2.289};
    CongaVoice midConga_{285.0, 0.028, 1.0296};
    CongaVoice highConga_{400.0, 0.03, 0.9919};
    TomVoice lowTom_{86.0, 0.04, 2.9312};
    TomVoice midTom_{140.0, 0.045, 1.8};
    TomVoice highTom_{186.0, 0.045, 1.44};
    ClavesVoice claves_;
    RimShotVoice rimShot_;
    MaracasVoice maracas_;
    HandClapVoice handClap_;
    CowBellVoice cowBell_;
    LaserGunVoice laserGun_;
    CymbalVoice cymbal_;
    OpenHiHatVoice openHiHat_;
    ClosedHiHatVoice closedHiHat_;
    std::array<Voice*, kInstrumentCount> voices_{};
    // Voices found silent with their knobs at rest in their last run, until a parameter
    // changes: a run passes them by.
    std::array<bool, kInstrumentCount> resting_{};
    std::array<double, kInstrumentCount> voiceOut_{};

    double masterVolume_ = 1.0;
    double masterVolumeSmoothed_ = 1.0;
    double masterVolumeRestTarget_ = std::numeric_limits<double>::quiet_NaN();  // see dsp::smoothToRest
    double accentLevel_ = 0.0;
    double hiHatFiltersFrequency_ = 0.5;

    TriggerPulse triggerPulse_;
    MetalSource metalSource_;
    NoiseSource noiseSource_;

    // Per frame of the run being rendered: the shared sources' outputs, the master volume,
    // the sum of the voices, and each voice's output.
    std::array<SharedSignals, kMaxRunFrames> shared_{};
    alignas(16) double metalSums_[kMaxRunFrames] = {};  // the metal oscillators' sum
    alignas(16) double junctionWork_[2][kMaxRunFrames] = {};  // the metal junction's input and exponential
    alignas(16) double volume_[kMaxRunFrames] = {};
    // Each voice's output over the run; a voice with an output FIR puts its steps after it
    // (see OutputFirBatch).
    alignas(64) double voiceRuns_[kInstrumentCount][OutputFirBatch::kRowLength] = {};
    EngineRun run_;
    OutputFirBatch outputFirs_;
#if defined(VORLATEK_ENGINE_WIDE)
    StruckLanes struckLanes_;
#endif
};

}  // namespace vorlatek
