#pragma once
// A plug-in instance started the way a host starts one (open, rate, block size, resume),
// with the buffers to process it: outputs carry a guard zone past the block, so a plug-in
// that writes more frames than it was given is caught, and every output frame of a block
// is checked to be a finite number.

#include "host/PluginInstance.h"
#include "host/Validation.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vorlatek::host {

class ValidationRig {
public:
    ValidationRig(CheckContext& context, double sampleRate = 44100.0, int maxBlock = 512);
    ~ValidationRig();
    ValidationRig(const ValidationRig&) = delete;
    ValidationRig& operator=(const ValidationRig&) = delete;

    PluginInstance& plugin() { return *plugin_; }
    const vst::AEffect& effect() const { return plugin_->effect(); }
    int maxBlock() const { return maxBlock_; }

    // Suspends, tells the plug-in the new rate and largest block, and resumes.
    void restart(double sampleRate, int maxBlock);

    // Every input pin carries `value` in the blocks that follow.
    void fillInputs(float value);

    // Hands the events over, then processes `frames` frames (0..maxBlock). Fails the check
    // when anything past the block was written, and, with requireFinite, when an output
    // frame of the block is NaN or infinite. `what` names the block in messages.
    void process(int frames, const std::vector<vst::VstMidiEvent>& events = {}, bool requireFinite = true,
                 const char* what = "a block");

    // Processes `frames` frames in blocks of at most maxBlock.
    void run(std::int64_t frames, const std::vector<vst::VstMidiEvent>& firstEvents = {});

    // Notes 36..52 (the General MIDI drums and the keys around them) spread over a block.
    static std::vector<vst::VstMidiEvent> noteBurst(int frames);

private:
    void allocate();

    CheckContext& context_;
    std::unique_ptr<PluginInstance> plugin_;
    double sampleRate_;
    int maxBlock_;
    std::vector<float> inputStorage_;
    std::vector<float> outputStorage_;
    std::vector<float*> inputs_;
    std::vector<float*> outputs_;
    std::vector<vst::VstMidiEvent> events_;
    std::vector<std::byte> eventList_;
    std::int64_t position_ = 0;
};

}  // namespace vorlatek::host
