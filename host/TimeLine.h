#pragma once
// The host's transport for one render: a fixed tempo in 4/4 from a start position in beats
// (negative for a pre-roll). Every position is computed from the frame count, never
// accumulated, so a long render does not drift.

#include "plugin/VstInterface.h"

#include <cstdint>

namespace vorlatek::host {

class TimeLine {
public:
    static constexpr int kBeatsPerBar = 4;

    TimeLine(double sampleRate, double tempo, double startBeat, bool playing);

    double framesPerBeat() const { return framesPerBeat_; }

    // Beat on the host's time line at a frame of the render (frame 0 = the start).
    double beatAt(std::int64_t frame) const;
    // The render frame nearest to a beat on the host's time line.
    std::int64_t frameAt(double beat) const;

    // What audioMasterGetTime reports for a block starting at the given render frame. A
    // stopped transport stays at the start position, as a host's does.
    vst::VstTimeInfo timeInfoAt(std::int64_t frame) const;

private:
    double sampleRate_;
    double tempo_;
    double startBeat_;
    bool playing_;
    double framesPerBeat_;
};

}  // namespace vorlatek::host
