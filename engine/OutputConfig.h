#pragma once
// The shape of the plug-in's outputs: an optional master (mono or stereo), seventeen
// instrument outputs (mono or stereo each) and an optional trigger output of the same width.
// Fixed when the plug-in object is built; the host is told the resulting pin count.

namespace vorlatek {

struct OutputConfig {
    static constexpr int kInstrumentOutputs = 17;
    static constexpr int kMaxSlotWidth = 2;  // pins of a stereo master or instrument

    bool masterOn = true;
    bool masterStereo = true;
    bool instrumentsStereo = true;
    bool triggerOn = false;

    int masterChannels() const { return masterOn ? (masterStereo ? 2 : 1) : 0; }
    int slotWidth() const { return instrumentsStereo ? 2 : 1; }
    int outputCount() const { return masterChannels() + (triggerOn ? 18 : 17) * slotWidth(); }

    bool operator==(const OutputConfig&) const = default;
};

}  // namespace vorlatek
