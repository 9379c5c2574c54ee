// Checks of processing: every sample rate from 8 kHz to 768 kHz and odd ones, block sizes
// from 1 to 65536 and a different size on every call, and input a careless host sends
// (events out of the block, malformed MIDI, zero-frame blocks, NaN, infinity and subnormal
// input samples). Output must stay finite and inside the block throughout.

#include "host/MidiSchedule.h"
#include "host/ValidationRig.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace vorlatek::host {
namespace {

std::string rateText(double rate) { return describe(static_cast<float>(rate)) + " Hz"; }

std::string sampleRates(CheckContext& context) {
    std::vector<double> rates;
    if (context.quick()) {
        rates = {8000, 44100, 96000, 192000, 768000, 1, 100, 1000, 12345.67};
    } else {
        rates = {8000,   11025,  16000,  22050,  24000,  32000, 44100, 48000,   88200, 96000,   176400,
                 192000, 352800, 384000, 705600, 768000, 1,     10,    100,     1000,  4000,    22050.5,
                 44099.99, 100000, 1e6, 2.5e6};
    }
    ValidationRig rig(context, rates.front());
    rig.fillInputs(0.25f);
    for (double rate : rates) {
        context.step("playing at " + rateText(rate));
        rig.restart(rate, 512);
        rig.fillInputs(0.25f);
        // A fifth of a second, and never fewer than eight blocks.
        const auto frames = std::max<std::int64_t>(8 * 512, static_cast<std::int64_t>(rate * 0.2));
        rig.run(frames, ValidationRig::noteBurst(512));
    }
    const auto [lowest, highest] = std::minmax_element(rates.begin(), rates.end());
    return std::to_string(rates.size()) + " rates from " + rateText(*lowest) + " to " + rateText(*highest) +
           ", output finite";
}

std::string blockSizes(CheckContext& context) {
    std::vector<int> sizes;
    if (context.quick()) {
        sizes = {1, 3, 64, 1000, 4096, 65536};
    } else {
        sizes = {1,   2,   3,   4,    7,    8,    15,   16,   31,    32,    63,    64,   100,
                 128, 255, 256, 500,  512,  1000, 1024, 2048, 4096, 8192, 16384, 32768, 65536};
    }
    ValidationRig rig(context, 44100.0, sizes.front());
    for (int size : sizes) {
        context.step("blocks of " + std::to_string(size) + " frames");
        rig.restart(44100.0, size);
        rig.fillInputs(0.25f);
        rig.run(std::max(3 * size, 4096), ValidationRig::noteBurst(size));
    }

    constexpr int kLargest = 4096;
    const int calls = context.quick() ? 150 : 2000;
    context.step("a different size on every call, up to " + std::to_string(kLargest));
    rig.restart(44100.0, kLargest);
    rig.fillInputs(0.25f);
    for (int call = 0; call < calls; ++call) {
        const int pick = context.randomInt(0, 9);
        const int frames = pick == 0 ? 0 : pick == 1 ? 1 : pick == 2 ? kLargest : context.randomInt(1, kLargest);
        std::vector<vst::VstMidiEvent> events;
        if (frames > 0 && call % 8 == 0) events = ValidationRig::noteBurst(frames);
        rig.process(frames, events, true, "a block of random size");
    }
    return std::to_string(sizes.size()) + " fixed sizes from 1 to 65536 and " + std::to_string(calls) +
           " random ones, nothing written past a block";
}

// Events a host should never send, and some it may: each list goes out with one block.
std::vector<std::vector<vst::VstMidiEvent>> unusualEventLists(int frames) {
        std::vector<std::vector<vst::VstMidiEvent>> lists;
    // Offsets outside the block.
    lists.push_back({midiMessage(-1, 0x90, 40, 100), midiMessage(-100000, 0x90, 41, 100), midiMessage(frames, 0x90, 42, 100),
                     midiMessage(frames + 1000, 0x80, 42, 0), midiMessage(INT_MAX, 0x90, 43, 100),
                     midiMessage(INT_MIN, 0x90, 44, 100)});
    // Every status byte with data bytes out of range.
    std::vector<vst::VstMidiEvent> statuses;
    for (int status = 0x80; status <= 0xFF; ++status) statuses.push_back(midiMessage(status % frames, status, 0xFF, 0x80));
    lists.push_back(statuses);
    // Data bytes without a status, note-on with velocity 0, bends and controllers at the ends.
    lists.push_back({midiMessage(0, 0x40, 0x40, 0x40), midiMessage(0, 0x90, 36, 0), midiMessage(1, 0xE0, 0, 0),
                     midiMessage(2, 0xE0, 127, 127), midiMessage(3, 0xB0, 123, 0), midiMessage(3, 0xB0, 120, 0),
                     midiMessage(4, 0xB0, 7, 127), midiMessage(4, 0xB0, 0, 0)});
    // Events of other types and sizes, which a plug-in must skip.
    vst::VstMidiEvent sysex = midiMessage(0, 0xF0, 0, 0);
    sysex.type = vst::kVstSysExType;
    vst::VstMidiEvent unknown = midiMessage(0, 0x90, 50, 100);
    unknown.type = 99;
    vst::VstMidiEvent sizeless = midiMessage(0, 0x90, 51, 100);
    sizeless.byteSize = 0;
    lists.push_back({sysex, unknown, sizeless});
    // A flood: far more than one block usually brings.
    std::vector<vst::VstMidiEvent> flood;
    for (int i = 0; i < 4000; ++i) flood.push_back(midiMessage(i % frames, i % 2 == 0 ? 0x90 : 0x80, 36 + i % 17, 100));
    lists.push_back(flood);
    return lists;
}

std::string unusualInput(CheckContext& context) {
    constexpr int kFrames = 256;
    ValidationRig rig(context, 44100.0, kFrames);

    context.step("blocks of no frames");
    rig.process(0, ValidationRig::noteBurst(1));
    rig.process(0);
    rig.process(kFrames);

    const auto lists = unusualEventLists(kFrames);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        context.step("unusual event list " + std::to_string(i + 1));
        rig.process(kFrames, lists[i], true, "a block with unusual events");
        rig.run(4 * kFrames);
    }

    if (rig.effect().numInputs > 0) {
        // Quiet and subnormal input is ordinary and must give ordinary output.
        for (float value : {std::numeric_limits<float>::denorm_min(), 1e-40f, -1e-38f}) {
            context.step("input samples of " + describe(value));
            rig.fillInputs(value);
            for (int block = 0; block < 16; ++block) rig.process(kFrames, {}, true, "a block of subnormal input");
        }
        // Garbage in may give garbage out, but must not crash.
        for (float value : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 1e30f}) {
            context.step("input samples of " + describe(value));
            rig.fillInputs(value);
            for (int block = 0; block < 4; ++block) rig.process(kFrames, {}, false);
        }
    }
    return "events outside the block, malformed and foreign events, 4000 in one block, zero-frame blocks" +
           std::string(rig.effect().numInputs > 0 ? ", subnormal, NaN and infinite input" : "");
}

}  // namespace

std::vector<Check> audioChecks() {
    return {{"sample rates", sampleRates}, {"block sizes", blockSizes}, {"unusual input", unusualInput}};
}

}  // namespace vorlatek::host
