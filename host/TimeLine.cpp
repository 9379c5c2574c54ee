#include "host/TimeLine.h"

#include <cmath>

namespace vorlatek::host {

TimeLine::TimeLine(double sampleRate, double tempo, double startBeat, bool playing)
    : sampleRate_(sampleRate),
      tempo_(tempo),
      startBeat_(startBeat),
      playing_(playing),
      framesPerBeat_(sampleRate * 60.0 / tempo) {}

double TimeLine::beatAt(std::int64_t frame) const {
    return startBeat_ + static_cast<double>(frame) / framesPerBeat_;
}

std::int64_t TimeLine::frameAt(double beat) const {
    return std::llround((beat - startBeat_) * framesPerBeat_);
}

vst::VstTimeInfo TimeLine::timeInfoAt(std::int64_t frame) const {
    const std::int64_t position = playing_ ? frame : 0;
    vst::VstTimeInfo info{};
    info.ppqPos = beatAt(position);
    info.samplePos = startBeat_ * framesPerBeat_ + static_cast<double>(position);
    info.sampleRate = sampleRate_;
    info.tempo = tempo_;
    info.barStartPos = std::floor(info.ppqPos / kBeatsPerBar) * kBeatsPerBar;
    info.timeSigNumerator = kBeatsPerBar;
    info.timeSigDenominator = 4;
    info.flags = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstBarsValid;
    if (playing_) info.flags |= vst::kVstTransportPlaying;
    return info;
}

}  // namespace vorlatek::host
