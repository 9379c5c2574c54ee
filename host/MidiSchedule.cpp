#include "host/MidiSchedule.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace vorlatek::host {
namespace {

constexpr unsigned char kNoteOn = 0x90;  // on channel 1; the channel goes in the low bits
constexpr unsigned char kNoteOff = 0x80;

vst::VstMidiEvent midiEvent(unsigned char status, int note, int velocity, std::int32_t noteLength) {
    vst::VstMidiEvent e = midiMessage(0, status, note, velocity);
    e.noteLength = noteLength;
    return e;
}

}  // namespace

vst::VstMidiEvent midiMessage(int deltaFrames, int status, int data1, int data2) {
    vst::VstMidiEvent e{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(vst::VstMidiEvent);
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

MidiSchedule::MidiSchedule(const std::vector<NoteSpec>& notes, const TimeLine& timeLine, std::int64_t totalFrames) {
    struct Pending {
        std::int64_t frame;
        int offFirst;  // 0 for a note-off, 1 for a note-on
        std::size_t order;
        vst::VstMidiEvent event;
    };
    std::vector<Pending> pending;
    for (const NoteSpec& note : notes) {
        std::int64_t on = timeLine.frameAt(note.beat);
        if (on < 0 || on >= totalFrames) continue;
        std::int64_t off = std::max(timeLine.frameAt(note.beat + note.lengthBeats), on + 1);
        auto length = static_cast<std::int32_t>(std::min<std::int64_t>(off - on, INT32_MAX));
        const auto channel = static_cast<unsigned char>(note.channel - 1);
        pending.push_back({on, 1, pending.size(), midiEvent(kNoteOn | channel, note.note, note.velocity, length)});
        if (off < totalFrames)
            pending.push_back({off, 0, pending.size(), midiEvent(kNoteOff | channel, note.note, 0, 0)});
    }
    std::sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        if (a.frame != b.frame) return a.frame < b.frame;
        if (a.offFirst != b.offFirst) return a.offFirst < b.offFirst;
        return a.order < b.order;
    });
    events_.reserve(pending.size());
    for (const Pending& p : pending) events_.push_back({p.frame, p.event});

    // Room for every event in one list: simple, and never reallocated while rendering.
    std::size_t bytes = offsetof(vst::VstEvents, events) + (events_.size() + 2) * sizeof(vst::VstEvent*);
    list_.resize(std::max(bytes, sizeof(vst::VstEvents)));
}

vst::VstEvents* MidiSchedule::eventsFor(std::int64_t start, int frames) {
    while (next_ < events_.size() && events_[next_].frame < start) ++next_;
    if (next_ == events_.size() || events_[next_].frame >= start + frames) return nullptr;

    auto* list = new (list_.data()) vst::VstEvents{};
    vst::VstEvent** slots = list->events;
    int count = 0;
    for (; next_ < events_.size() && events_[next_].frame < start + frames; ++next_) {
        Timed& timed = events_[next_];
        timed.event.deltaFrames = static_cast<vst::VstInt32>(timed.frame - start);
        slots[count++] = reinterpret_cast<vst::VstEvent*>(&timed.event);
    }
    list->numEvents = count;
    return list;
}

}  // namespace vorlatek::host
