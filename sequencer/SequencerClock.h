#pragma once
// The plug-in's main loop: one sample-accurate clock that drives the extended sequencer
// (arranged patterns, following the host transport, a MIDI start note or the Start and Stop
// buttons) and the simple sequencer of host mode (the simple pattern a held MIDI note
// selects), renders the engine frame by frame and adds every frame to the output pins.
// It runs on the audio thread only.
//
// Positions are in beats and kept in double precision as origin + frames × rate, so steps
// land on exact sample frames however long the clock runs. Each sequencer computes the
// frame of its next step once per step (and once per block), and a frame between steps
// costs one countdown decrement per sequencer.
//
// Bad transport information is survivable: a host tempo that is not a number from 0 to
// 10000 bpm, or a position that is not finite, is ignored and the clock runs on its own
// state. With a tempo of 0 the positions stand still: a step due where the clock stands
// plays, the next one never comes until the tempo moves again.

#include "sequencer/DrumNotes.h"
#include "sequencer/MidiEventQueue.h"
#include "sequencer/TapMailbox.h"

#include <cstdint>

namespace vorlatek {

class Arrangement;
class DrumEngine;
class OutputRouter;
class SequencerListener;
struct ClockState;
struct SequencerRequests;
struct SequencerSettings;
struct StepPattern;
struct TimeSnapshot;

class SequencerClock {
public:
    // Everything here belongs to the audio thread but `requests`, which the editor posts to.
    SequencerClock(Arrangement& arrangement, DrumEngine& engine, const OutputRouter& router,
                   const SequencerSettings& settings, ClockState& clock, MidiEventQueue& queue,
                   SequencerListener& listener, SequencerRequests& requests);

    // Renders `frames` frames. `outputs` holds the router's pins (may be null: nothing is
    // written then); `transport` is null when the host gave no time information.
    void processBlock(float* const* outputs, int frames, const TimeSnapshot* transport, bool replacing);

    // The host's sample rate, which steps are timed at (the engine may synthesise at a
    // clamped rate of its own). Until set, the engine's rate.
    void setFrameRate(double rate) { frameRate_ = rate; }
    // The instruments the notes of the drum channel play; null: none.
    void setDrumNotes(const DrumNotes* notes) { drumNotes_ = notes; }

    // Frames rendered since construction; during a block, the index of the frame being
    // processed (what a step or an event reported to the listener falls on).
    std::int64_t frame() const { return frame_; }

private:
    // A position in beats that moves by `rate` every frame, kept as origin + n × rate.
    struct Ramp {
        double origin = 0.0;
        double rate = 0.0;
        std::int64_t frames = 0;
        double value = 0.0;

        void set(double v);
        void setRate(double r);
        void step();
        // Takes over a value written from outside (a test, the state), if it differs.
        void adopt(double v);
    };

    // What a sequencer's scheduler found for its next step.
    struct Schedule {
        std::int32_t countdown = -1;  // frames until the step; -1 = to be computed
        std::int32_t kind = 0;        // 0 on the grid, 1 shuffled
    };

    // Step timing for one pattern at the current tempo.
    struct StepGrid {
        double framesPerBeat = 0.0;  // infinite while the tempo is 0
        double rate = 0.0;           // beats per frame
        double shuffle = 0.0;        // delay of every second step, in steps
        double stepLength = 0.25;    // beats
    };

    void followTransport(const TimeSnapshot* transport, bool intSeqOn, bool syncInternal);
    void applyPendingCommand(bool intSeqOn);
    void computeRates(bool syncInternal);
    void handleEvent(const MidiMessage& message);
    void playDrumNote(int note, int velocity);
    void startExtendedAt0();
    void scheduleExtended();
    void scheduleSimple();
    bool tapNearerPlayedStep(double pos, double offbeat, double pairStart, double previousPairStart) const;
    void fireExtended();
    void fireSimple();
    void sound(const TapMailbox::Tap& tap);

    StepGrid gridFor(double tempo, double shuffle, const StepPattern* part) const;
    double framesPerMinute() const;
    void storePositions();

    Arrangement& arrangement_;
    DrumEngine& engine_;
    const OutputRouter& router_;
    const SequencerSettings& settingsSource_;
    ClockState& clock_;
    MidiEventQueue& queue_;
    SequencerListener& listener_;
    SequencerRequests& requests_;

    // The settings as read at the start of the block.
    bool intSeqOn_ = false;
    bool syncInternal_ = false;
    bool hostMode_ = false;
    bool noteOff_ = false;
    std::int32_t extSyncType_ = 0;
    std::int32_t drumChannel_ = 0;

    Ramp hostPpq_;
    Ramp extPos_;
    Ramp simplePos_;

    std::int64_t frame_ = 0;
    double frameRate_ = 0.0;
    const DrumNotes* drumNotes_ = nullptr;

    // Per block.
    Schedule ext_;
    Schedule simple_;
    bool simpleRestarted_ = false;
};

}  // namespace vorlatek
