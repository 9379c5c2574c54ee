#pragma once
// One plug-in instance played as a host plays it: its 36 default output pins in one buffer
// of the block size each, back to back as hosts allocate them, the host transport at a
// tempo, the sequencer playing a pattern loaded from a state chunk (none: the factory state).

#include "bench/BenchSupport.h"
#include "plugin/DrumPlugin.h"
#include "sequencer/TimeSnapshot.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vorlatek::bench {

class HostRig {
public:
    // `chunkFile` a file of bench/, or nullptr.
    HostRig(const char* chunkFile, double tempo, bool playing, int blockSize, float rate)
        : plugin_(std::make_unique<DrumPlugin>(nullptr, std::string())),  // no user settings file
          blockSize_(blockSize),
          beatsPerFrame_(tempo / (60.0 * rate)) {
        plugin_->setSampleRate(rate);
        if (chunkFile) {
            const std::string chunk = readBenchFile(chunkFile);
            plugin_->setChunk(chunk.data(), chunk.size(), false);
        }
        const int pins = plugin_->numOutputs();
        storage_.resize(static_cast<std::size_t>(pins) * static_cast<std::size_t>(blockSize));
        for (int pin = 0; pin < pins; ++pin)
            outputs_.push_back(storage_.data() + static_cast<std::size_t>(pin) * static_cast<std::size_t>(blockSize));
        transport_.valid = transport_.tempoValid = transport_.ppqValid = true;
        transport_.playing = playing;
        transport_.tempo = tempo;
    }

    // The next block, the transport moving on by it.
    void processBlock() {
        transport_.ppqPos = transport_.playing ? static_cast<double>(frames_) * beatsPerFrame_ : 0.0;
        plugin_->process(outputs_.data(), blockSize_, &transport_, true);
        frames_ += blockSize_;
    }

    long long frames() const { return frames_; }
    const float* output() const { return storage_.data(); }

private:
    std::unique_ptr<DrumPlugin> plugin_;
    int blockSize_;
    double beatsPerFrame_;
    std::vector<float> storage_;
    std::vector<float*> outputs_;
    TimeSnapshot transport_;
    long long frames_ = 0;
};

}  // namespace vorlatek::bench
