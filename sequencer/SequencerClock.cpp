#include "sequencer/SequencerClock.h"

#include "engine/DrumEngine.h"
#include "engine/EngineRun.h"
#include "engine/OutputRouter.h"
#include "sequencer/Arrangement.h"
#include "sequencer/ClockState.h"
#include "sequencer/EditorNotification.h"
#include "sequencer/SequencerListener.h"
#include "sequencer/SequencerSettings.h"
#include "sequencer/TimeSnapshot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlatek {

namespace {

constexpr int kKindGrid = 0;
constexpr int kKindShuffled = 1;
constexpr int kPhaseNone = -1;

// A step that a clock standing still never reaches.
constexpr std::int32_t kNever = std::numeric_limits<std::int32_t>::max();
// How far a product of beats and frames per beat may miss a whole frame and still count as
// landing on it: rounding in the last bits must not move a step by a frame.
constexpr double kFrameTolerance = 1e-6;
// A position this close to a step, in beats, is on it: host positions carry rounding.
constexpr double kOnStepTolerance = 1e-9;
// Two steps of one sequencer are never closer than this, in beats.
constexpr double kMinStepDistance = 0.005;
// Shuffle 1.0 delays the second step of a pair by this much of a step.
constexpr double kShuffleDepth = 0.8;

constexpr int kNoteOn = 0x90;
constexpr int kNoteOff = 0x80;
constexpr int kControlChange = 0xB0;
constexpr int kAllNotesOff = 123;
constexpr int kLowestNote = 0;
constexpr int kFirstPatternNote = 12;         // host mode: notes 12..107 select simple patterns
constexpr int kLastPatternNote = kFirstPatternNote + kSimplePatternCount - 1;
constexpr int kLastFillInNote = 27;  // play mode: 12..23 select basic patterns, 24..27 fill-ins
constexpr int kFillInNote = 35;

enum class Rounding { Down, Up };

// Frames until a point `beats` ahead: the frame at or before it (Down) or at or after it
// (Up). A point at or behind the clock is due now; one a standing clock never reaches is
// kNever.
std::int32_t framesUntil(double beats, double framesPerBeat, Rounding rounding) {
    if (!(beats > 0.0)) return 0;
    const double frames = beats * framesPerBeat;
    if (!(frames < static_cast<double>(kNever))) return kNever;
    const double whole = rounding == Rounding::Down ? std::trunc(frames + kFrameTolerance)
                                                    : std::ceil(frames - kFrameTolerance);
    return static_cast<std::int32_t>(std::max(whole, 0.0));
}

// Far above any tempo a host or pattern uses; beyond it a reported tempo is garbage.
constexpr double kMaxTempo = 10000.0;

bool validTempo(double bpm) { return bpm >= 0.0 && bpm <= kMaxTempo; }  // false for NaN
// A tempo the clock can run at, else 0: standing still.
double usableTempo(double bpm) { return validTempo(bpm) ? bpm : 0.0; }

}  // namespace

// Ramp ------------------------------------------------------------------------------------

void SequencerClock::Ramp::set(double v) {
    origin = v;
    frames = 0;
    value = v;
}

void SequencerClock::Ramp::setRate(double r) {
    if (r == rate) return;
    origin = value;
    frames = 0;
    rate = r;
}

void SequencerClock::Ramp::step() {
    ++frames;
    value = origin + static_cast<double>(frames) * rate;
}

void SequencerClock::Ramp::adopt(double v) {
    if (v != value) set(v);
}

// Block procedure ---------------------------------------------------------------------------

SequencerClock::SequencerClock(Arrangement& arrangement, DrumEngine& engine, const OutputRouter& router,
                               const SequencerSettings& settings, ClockState& clock, MidiEventQueue& queue,
                               SequencerListener& listener, SequencerRequests& requests)
    : arrangement_(arrangement),
      engine_(engine),
      router_(router),
      settingsSource_(settings),
      clock_(clock),
      queue_(queue),
      listener_(listener),
      requests_(requests) {
    hostPpq_.set(clock.hostPpq);
    extPos_.set(clock.extPos);
    simplePos_.set(clock.simplePos);
}

void SequencerClock::processBlock(float* const* outputs, int frames, const TimeSnapshot* transport,
                                  bool replacing) {
    const SequencerSettings settings = settingsSource_;
    intSeqOn_ = settings.intSeqOn;
    syncInternal_ = settings.syncInternal == 1;
    hostMode_ = settings.hostMode;
    noteOff_ = settings.noteOff;
    extSyncType_ = settings.extSyncType;
    drumChannel_ = settings.drumChannel;

    hostPpq_.adopt(clock_.hostPpq);
    extPos_.adopt(clock_.extPos);
    simplePos_.adopt(clock_.simplePos);
    ext_ = Schedule{};
    simple_ = Schedule{};
    simpleRestarted_ = false;

    followTransport(transport, intSeqOn_, syncInternal_);
    const bool followsHost = (clock_.hostWasPlaying && extSyncType_ == kExtSyncTransportChange) ||
                             (clock_.lowestNoteGate && extSyncType_ == kExtSyncLowestNote);
    if (!syncInternal_ && followsHost) extPos_.set(hostPpq_.value);
    applyPendingCommand(intSeqOn_);
    computeRates(syncInternal_);

    // The block goes in runs: the events of a frame (MIDI, scheduling, steps), then that
    // frame and every following one up to the next event, rendered in one go.
    for (int f = 0; f < frames;) {
        MidiMessage message;
        while (queue_.popDue(f, message)) handleEvent(message);

        if (arrangement_.running() && ext_.countdown == -1) scheduleExtended();
        if (simple_.countdown == -1) scheduleSimple();
        fireExtended();
        fireSimple();

        // Frames after this one in which nothing happens but the countdowns running down.
        std::int64_t quiet = frames - f - 1;
        if (const std::int64_t next = queue_.framesUntilNext(); next >= 0) quiet = std::min(quiet, next - f - 1);
        if (arrangement_.running()) quiet = std::min<std::int64_t>(quiet, std::max(ext_.countdown, 0));
        quiet = std::min<std::int64_t>(quiet, std::max(simple_.countdown, 0));
        const int run = 1 + static_cast<int>(quiet);
        const auto countDown = [&](Schedule& s) {
            if (s.countdown >= 0) s.countdown = static_cast<std::int32_t>(std::max<std::int64_t>(s.countdown - quiet, -1));
        };
        countDown(ext_);
        countDown(simple_);

        for (int done = 0; done < run;) {
            const EngineRun& rendered = engine_.renderRun(run - done);
            if (outputs) router_.routeRun(rendered, outputs, f + done, replacing);
            done += rendered.frames;
        }

        // A ramp's value is origin + frames × rate: moving it on by `run` frames at once
        // gives what `run` single steps give.
        const auto advance = [&](Ramp& ramp) {
            ramp.frames += run - 1;
            ramp.step();
        };
        advance(hostPpq_);
        advance(extPos_);
        advance(simplePos_);
        // The beats since a sequencer's last step only decide whether the next one lies far
        // enough on to play: they go frame by frame up to that distance, as a step's timing
        // relies on, and past it, where they only grow, the rest of the run in one go.
        const auto sinceStep = [&](double& beats, double rate) {
            int n = 0;
            for (; n < run && !(beats > kMinStepDistance); ++n) beats += rate;
            if (n < run) beats += static_cast<double>(run - n) * rate;
        };
        sinceStep(clock_.extSinceStep, extPos_.rate);
        sinceStep(clock_.simpleSinceStep, simplePos_.rate);
        frame_ += run;
        f += run;
    }
    queue_.endBlock(frames);
    storePositions();
    arrangement_.tapJournal().flush();
}

void SequencerClock::storePositions() {
    clock_.hostPpq = hostPpq_.value;
    clock_.extPos = extPos_.value;
    clock_.simplePos = simplePos_.value;
    arrangement_.position().publishBeats(extPos_.value, simplePos_.value);
}

void SequencerClock::followTransport(const TimeSnapshot* transport, bool intSeqOn, bool syncInternal) {
    if (!transport) return;  // the clock runs on at the last tempo; the transport state stays
    const bool playing = transport->valid && transport->playing;
    if (playing != clock_.hostWasPlaying) {
        clock_.hostWasPlaying = playing;
        if (playing) {
            if (extSyncType_ == kExtSyncTransportChange && !arrangement_.running()) startExtendedAt0();
            clock_.simplePhase = kPhaseNone;
            clock_.simpleSinceStep = 0.0;
            clock_.buttonState = kCommandStop;
            simplePos_.set(0.0);
            hostPpq_.set(0.0);
        } else {
            clock_.buttonState = kCommandStop;
            clock_.simplePhase = kPhaseNone;
            clock_.extPhase = kPhaseNone;
            arrangement_.stopExtended();
            arrangement_.stopSimple();
        }
    }
    if (!intSeqOn) return;
    if (transport->ppqValid && std::isfinite(transport->ppqPos)) hostPpq_.set(transport->ppqPos);
    if (transport->tempoValid && !syncInternal && validTempo(transport->tempo))
        clock_.hostTempo = transport->tempo;
}

void SequencerClock::startExtendedAt0() {
    clock_.extPhase = kPhaseNone;
    clock_.extSinceStep = 1.0;  // far enough from any step that the first one plays at once
    extPos_.set(0.0);
    arrangement_.startExtended();
}

void SequencerClock::applyPendingCommand(bool intSeqOn) {
    const std::int32_t command = requests_.command.exchange(kCommandNone, std::memory_order_relaxed);
    if (command == kCommandNone || command == clock_.buttonState || !intSeqOn || clock_.hostWasPlaying) return;
    if (command == kCommandStart) {
        clock_.buttonState = kCommandStart;
        startExtendedAt0();
    } else if (command == kCommandStop) {
        clock_.buttonState = kCommandStop;
        arrangement_.stopExtended();
    }
}

double SequencerClock::framesPerMinute() const { return (frameRate_ > 0.0 ? frameRate_ : engine_.sampleRate()) * 60.0; }

SequencerClock::StepGrid SequencerClock::gridFor(double tempo, double shuffle, const StepPattern* part) const {
    StepGrid grid;
    tempo = usableTempo(tempo);
    const double perMinute = framesPerMinute();
    grid.framesPerBeat = tempo > 0.0 ? perMinute / tempo : std::numeric_limits<double>::infinity();
    grid.rate = tempo / perMinute;
    grid.shuffle = std::isfinite(shuffle) ? std::clamp(shuffle, 0.0, 1.0) * kShuffleDepth : 0.0;
    if (part) grid.stepLength = (4.0 / validStepsPerBeat(part->stepsPerBeat)) * 0.25;
    return grid;
}

void SequencerClock::computeRates(bool syncInternal) {
    const double hostRate = usableTempo(clock_.hostTempo) / framesPerMinute();
    double extRate = hostRate;
    double simpleRate = hostRate;
    const PatternLibrary* patterns = arrangement_.patterns();
    if (syncInternal && patterns) {
        if (const PatternVariation* v = patterns->variation(arrangement_.currentPattern(), arrangement_.currentVariation()))
            extRate = usableTempo(v->bpm) / framesPerMinute();
        if (const StepPattern* p = patterns->simplePattern(arrangement_.currentSimplePattern()))
            simpleRate = usableTempo(p->bpm) / framesPerMinute();
    }
    hostPpq_.setRate(hostRate);
    extPos_.setRate(extRate);
    simplePos_.setRate(simpleRate);
}

// MIDI events ---------------------------------------------------------------------------------

void SequencerClock::handleEvent(const MidiMessage& message) {
    const int kind = message.kind();
    const int note = message.data1();
    // Notes on the drum channel play instruments and mean nothing else; releases are
    // ignored, as a drum machine's pads ignore them.
    const int channel = (message.status() & 0x0F) + 1;
    if (drumChannel_ != 0 && channel == drumChannel_ && (kind == kNoteOn || kind == kNoteOff)) {
        if (kind == kNoteOn && message.data2() > 0) playDrumNote(note, message.data2());
        return;
    }
    if (kind == kControlChange) {
        if (note != kAllNotesOff) return;
        clock_.lowestNoteGate = false;
        arrangement_.stopExtended();
        arrangement_.stopSimple();
        clock_.simplePhase = kPhaseNone;
        clock_.extPhase = kPhaseNone;
        clock_.heldNotes = 0;
        return;
    }
    const bool noteOn = kind == kNoteOn && message.data2() > 0;
    const bool noteOff = kind == kNoteOff || (kind == kNoteOn && message.data2() == 0);

    if (hostMode_ && note >= kFirstPatternNote && note <= kLastPatternNote) {
        const int pattern = note - kFirstPatternNote;
        if (noteOn) {
            clock_.heldNotes = pattern == arrangement_.currentSimplePattern() ? clock_.heldNotes + 1 : 1;
            clock_.simpleSinceStep = 1.0;
            simple_.countdown = -1;
            simplePos_.set(0.0);
            clock_.simplePhase = kPhaseNone;
            simpleRestarted_ = true;
            arrangement_.startSimple(pattern);
        } else if (noteOff && pattern == arrangement_.currentSimplePattern() && clock_.heldNotes > 0) {
            // A release without a press never counts, so the count cannot go below zero
            // and leave a later note unable to stop its pattern.
            if (--clock_.heldNotes == 0 && noteOff_) arrangement_.stopSimple();
        }
    } else if (!hostMode_ && noteOn) {
        if (note >= kFirstPatternNote && note <= kLastFillInNote) {
            arrangement_.selection().selectPlayPattern(note - kFirstPatternNote);
            listener_.notify(kNotifyPlayPatternSelected);
        } else if (note == kFillInNote) {
            if (arrangement_.running()) {
                arrangement_.selection().requestFillIn();
            } else {
                arrangement_.selection().toggleStartPatternType();
                listener_.notify(kNotifyStartPatternType);
            }
        }
    }

    if (noteOn && note == kLowestNote) {
        clock_.lowestNoteGate = true;
        if (extSyncType_ == kExtSyncLowestNote && !arrangement_.running()) {
            ext_.countdown = -1;
            startExtendedAt0();
        }
    }
}

void SequencerClock::playDrumNote(int note, int velocity) {
    if (!drumNotes_ || note < 0 || note >= kMidiNotes) return;
    const int instrument = (*drumNotes_)[static_cast<std::size_t>(note)];
    if (instrument < 0 || instrument >= kAccentRow) return;
    engine_.triggerInstrumentAt(instrument, engine_.noteVelocity(velocity));
    listener_.instrumentActivity(instrument);
}

// Scheduling -----------------------------------------------------------------------------------

bool SequencerClock::tapNearerPlayedStep(double pos, double offbeat, double pairStart,
                                         double previousPairStart) const {
    if (pos <= offbeat) return offbeat - pos > pos - previousPairStart;
    return pairStart - pos > pos - offbeat;
}

void SequencerClock::sound(const TapMailbox::Tap& tap) {
    for (int row = 0; row < kPatternRows; ++row)
        if (tap.rows[static_cast<std::size_t>(row)]) engine_.triggerInstrument(row, false, false);
}

void SequencerClock::scheduleExtended() {
    const PatternLibrary* patterns = arrangement_.patterns();
    const PatternVariation* variation =
        patterns ? patterns->variation(arrangement_.currentPattern(), arrangement_.currentVariation()) : nullptr;
    const StepPattern* part = variation ? variation->part(arrangement_.currentPart()) : nullptr;
    const double tempo = syncInternal_ && variation ? variation->bpm : clock_.hostTempo;
    const StepGrid grid = gridFor(tempo, variation ? variation->shuffle : 0.0, part);
    extPos_.setRate(grid.rate);

    const double pos = extPos_.value;
    const double length = grid.stepLength;
    const double pair = 2.0 * length;
    const double pairStart = std::ceil(pos / pair) * pair;  // the next pair's grid step
    const double offbeat = pairStart - length + grid.shuffle * length;  // the shuffled step before it
    const double nextOffbeat = offbeat + pair;
    const double previousPairStart = pairStart - pair;

    TapMailbox::Tap tap;
    if (!hostMode_ && requests_.tap.take(tap)) {
        arrangement_.holdExtendedTap(tap);
        if (tapNearerPlayedStep(pos, offbeat, pairStart, previousPairStart)) {
            arrangement_.writeExtendedTap();
            sound(tap);
        }
    }

    const double v = grid.framesPerBeat;
    const int phase = clock_.extPhase;
    if (pos < 0.0) {
        ext_ = {framesUntil(-pos, v, Rounding::Down), kKindGrid};
    } else if (phase == kPhaseNone && pos <= offbeat + kOnStepTolerance) {
        // The first step after a start plays at once. Started in the second half of a pair
        // it stands for the shuffled step, so the next one is the coming pair's grid step
        // rather than an echo of it a moment later.
        const bool secondHalf = pos - previousPairStart >= length - kOnStepTolerance;
        ext_ = {0, secondHalf ? kKindShuffled : kKindGrid};
    } else if (pos <= offbeat) {
        if (phase == kKindGrid)
            ext_ = {framesUntil(offbeat - pos, v, Rounding::Down), kKindShuffled};
        else
            ext_ = {pos <= previousPairStart + 0.01 ? 0 : framesUntil(pairStart - pos, v, Rounding::Down), kKindGrid};
    } else if (phase == kKindGrid) {
        ext_ = {pos <= pairStart - 0.01 ? 0 : framesUntil(nextOffbeat - pos, v, Rounding::Down), kKindShuffled};
    } else {
        ext_ = {framesUntil(pairStart - pos, v, Rounding::Down), kKindGrid};
    }
}

void SequencerClock::scheduleSimple() {
    const PatternLibrary* patterns = arrangement_.patterns();
    const StepPattern* pattern = patterns ? patterns->simplePattern(arrangement_.currentSimplePattern()) : nullptr;
    const double tempo = syncInternal_ && pattern ? pattern->bpm : clock_.hostTempo;
    const StepGrid grid = gridFor(tempo, pattern ? pattern->shuffle : 0.0, pattern);
    simplePos_.setRate(grid.rate);

    const double pos = simplePos_.value;
    const double length = grid.stepLength;
    const double pair = 2.0 * length;
    const double pairStart = std::ceil(pos / pair) * pair;
    const double offbeat = pairStart - length + grid.shuffle * length;

    TapMailbox::Tap tap;
    if (hostMode_ && requests_.tap.take(tap)) {
        arrangement_.holdSimpleTap(tap);
        if (tapNearerPlayedStep(pos, offbeat, pairStart, pairStart - pair)) {
            arrangement_.writeSimpleTap();
            sound(tap);
        }
    }

    const double v = grid.framesPerBeat;
    const int phase = clock_.simplePhase;
    if (pos < offbeat) {
        if (phase == kKindShuffled)
            simple_ = {pos < pairStart - length ? 0 : framesUntil(pairStart - pos, v, Rounding::Up), kKindGrid};
        else
            simple_ = {framesUntil(offbeat - pos, v, Rounding::Up), kKindShuffled};
    } else if (phase == kKindGrid) {
        simple_ = {0, kKindShuffled};
    } else {
        simple_ = {framesUntil(pairStart - pos, v, Rounding::Up), kKindGrid};
    }
}

// Firing ----------------------------------------------------------------------------------------

void SequencerClock::fireExtended() {
    if (ext_.countdown == 0 && arrangement_.running() && clock_.extSinceStep > kMinStepDistance) {
        clock_.extSinceStep = 0.0;
        if (clock_.extPhase != kPhaseNone) arrangement_.advanceStep();
        if (intSeqOn_ && !hostMode_) arrangement_.playExtendedStep();
        clock_.extPhase = ext_.kind;
    }
    if (ext_.countdown >= 0) --ext_.countdown;
}

void SequencerClock::fireSimple() {
    if (simple_.countdown == 0 && clock_.simpleSinceStep > kMinStepDistance) {
        clock_.simpleSinceStep = 0.0;
        if (simpleRestarted_) {
            simpleRestarted_ = false;  // the note already put the pattern on its first step
        } else {
            arrangement_.advanceSimpleStep();
        }
        if (intSeqOn_ && hostMode_) arrangement_.playSimpleStep();
        clock_.simplePhase = simple_.kind;
    }
    if (simple_.countdown >= 0) --simple_.countdown;
}

}  // namespace vorlatek
