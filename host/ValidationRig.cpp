#include "host/ValidationRig.h"

#include "host/MidiSchedule.h"
#include "host/TimeLine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

namespace vorlatek::host {
namespace {

// Frames past the block that must stay as they were, and what they hold: a NaN bit
// pattern no arithmetic produces.
constexpr int kGuardFrames = 32;
constexpr std::uint32_t kGuardBits = 0x7FA5A5A5u;
constexpr double kTempo = 120.0;

float guardValue() {
    float value;
    std::memcpy(&value, &kGuardBits, sizeof value);
    return value;
}

bool isGuard(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits == kGuardBits;
}

}  // namespace

ValidationRig::ValidationRig(CheckContext& context, double sampleRate, int maxBlock)
    : context_(context),
      plugin_(std::make_unique<PluginInstance>(context.module())),
      sampleRate_(sampleRate),
      maxBlock_(maxBlock) {
    allocate();
    HostState& host = plugin_->hostState();
    host.sampleRate = sampleRate;
    host.blockSize = maxBlock;
    plugin_->open();
    plugin_->dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin_->dispatch(vst::effSetBlockSize, 0, maxBlock);
    plugin_->resume();
}

ValidationRig::~ValidationRig() = default;

void ValidationRig::allocate() {
    const auto stride = static_cast<std::size_t>(maxBlock_ + kGuardFrames);
    const auto numInputs = static_cast<std::size_t>(effect().numInputs);
    const auto numOutputs = static_cast<std::size_t>(effect().numOutputs);
    inputStorage_.assign(std::max<std::size_t>(1, numInputs * stride), 0.0f);
    outputStorage_.assign(std::max<std::size_t>(1, numOutputs * stride), 0.0f);
    inputs_.assign(std::max<std::size_t>(1, numInputs), nullptr);
    outputs_.assign(std::max<std::size_t>(1, numOutputs), nullptr);
    for (std::size_t i = 0; i < numInputs; ++i) inputs_[i] = inputStorage_.data() + i * stride;
    for (std::size_t i = 0; i < numOutputs; ++i) outputs_[i] = outputStorage_.data() + i * stride;
}

void ValidationRig::restart(double sampleRate, int maxBlock) {
    plugin_->suspend();
    sampleRate_ = sampleRate;
    maxBlock_ = maxBlock;
    allocate();
    HostState& host = plugin_->hostState();
    host.sampleRate = sampleRate;
    host.blockSize = maxBlock;
    plugin_->dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin_->dispatch(vst::effSetBlockSize, 0, maxBlock);
    plugin_->resume();
}

void ValidationRig::fillInputs(float value) {
    const auto stride = static_cast<std::size_t>(maxBlock_ + kGuardFrames);
    for (std::size_t i = 0; i < static_cast<std::size_t>(effect().numInputs); ++i)
        std::fill(inputs_[i], inputs_[i] + stride, value);
}

void ValidationRig::process(int frames, const std::vector<vst::VstMidiEvent>& events, bool requireFinite,
                            const char* what) {
    const int numOutputs = effect().numOutputs;
    for (int pin = 0; pin < numOutputs; ++pin) {
        std::fill(outputs_[pin], outputs_[pin] + frames, 0.0f);
        std::fill(outputs_[pin] + frames, outputs_[pin] + maxBlock_ + kGuardFrames, guardValue());
    }
    if (!events.empty()) {
        events_ = events;
        eventList_.assign(offsetof(vst::VstEvents, events) + (events_.size() + 2) * sizeof(vst::VstEvent*),
                          std::byte{0});
        auto* list = new (eventList_.data()) vst::VstEvents{};
        list->numEvents = static_cast<vst::VstInt32>(events_.size());
        for (std::size_t i = 0; i < events_.size(); ++i)
            list->events[i] = reinterpret_cast<vst::VstEvent*>(&events_[i]);
        plugin_->processEvents(list);
    }
    plugin_->hostState().timeInfo = TimeLine(sampleRate_, kTempo, 0.0, true).timeInfoAt(position_);
    plugin_->process(inputs_.data(), outputs_.data(), frames);
    position_ += frames;

    for (int pin = 0; pin < numOutputs; ++pin) {
        const float* samples = outputs_[pin];
        for (int f = frames; f < maxBlock_ + kGuardFrames; ++f) {
            if (!isGuard(samples[f])) {
                context_.fail("output " + std::to_string(pin) + " was written at frame " + std::to_string(f) +
                              " of " + what + " of " + std::to_string(frames) + " frames");
            }
        }
        if (!requireFinite) continue;
        for (int f = 0; f < frames; ++f) {
            if (!std::isfinite(samples[f])) {
                context_.fail("output " + std::to_string(pin) + " is " + describe(samples[f]) + " at frame " +
                              std::to_string(f) + " of " + what + " (" + std::to_string(frames) + " frames at " +
                              describe(static_cast<float>(sampleRate_)) + " Hz)");
            }
        }
    }
}

void ValidationRig::run(std::int64_t frames, const std::vector<vst::VstMidiEvent>& firstEvents) {
    bool first = true;
    while (frames > 0) {
        const int block = static_cast<int>(std::min<std::int64_t>(frames, maxBlock_));
        process(block, first ? firstEvents : std::vector<vst::VstMidiEvent>{});
        first = false;
        frames -= block;
    }
}

std::vector<vst::VstMidiEvent> ValidationRig::noteBurst(int frames) {
    std::vector<vst::VstMidiEvent> events;
    constexpr int kFirstNote = 36;
    constexpr int kNotes = 17;
    for (int i = 0; i < kNotes; ++i) events.push_back(midiMessage(frames * i / kNotes, 0x90, kFirstNote + i, 100 + i));
    return events;
}

}  // namespace vorlatek::host
