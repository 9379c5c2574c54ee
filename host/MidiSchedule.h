#pragma once
// The notes of a render as MIDI events on exact frames, handed to the plug-in block by
// block with delta frames relative to each block's first frame.

#include "host/Options.h"
#include "host/TimeLine.h"
#include "plugin/VstInterface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlatek::host {

// One MIDI message as an event; the bytes are taken as they are, even out of range.
vst::VstMidiEvent midiMessage(int deltaFrames, int status, int data1, int data2);

class MidiSchedule {
public:
    // Notes whose note-on falls outside [0, totalFrames) are left out together with their
    // note-off; a note-off after the end is left out. On the same frame note-offs come
    // before note-ons, so a note repeated back to back is not cut off by its predecessor.
    MidiSchedule(const std::vector<NoteSpec>& notes, const TimeLine& timeLine, std::int64_t totalFrames);

    // The events of the block [start, start + frames), or null when it has none. The
    // returned list stays valid until the next call.
    vst::VstEvents* eventsFor(std::int64_t start, int frames);

private:
    struct Timed {
        std::int64_t frame;
        vst::VstMidiEvent event;
    };
    std::vector<Timed> events_;
    std::size_t next_ = 0;
    std::vector<std::byte> list_;  // a VstEvents record with room for the busiest block
};

}  // namespace vorlatek::host
