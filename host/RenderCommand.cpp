// `render`: plays the plug-in on the host's transport, block by block, and writes the
// chosen output pins to a WAV file.

#include "host/Commands.h"
#include "host/FileIo.h"
#include "host/HostError.h"
#include "host/MidiSchedule.h"
#include "host/PluginInstance.h"
#include "host/TimeLine.h"
#include "host/WavWriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace vorlatek::host {
namespace {

using Json = nlohmann::ordered_json;

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What reading that clock adds to a measurement. The process's CPU clock is a system call
// (about half a microsecond on a virtual machine): the time between two readings holds the
// end of one and the start of the other. The median of many back-to-back pairs, measured
// before the render, is taken off each measurement.
double clockReadingCost() {
    constexpr int kPairs = 2001;
    std::vector<double> gaps(kPairs);
    for (double& gap : gaps) {
        const double first = processCpuSeconds();
        gap = processCpuSeconds() - first;
    }
    std::nth_element(gaps.begin(), gaps.begin() + kPairs / 2, gaps.end());
    return gaps[kPairs / 2];
}

std::vector<int> resolvePins(PluginInstance& plugin, const PinSelection& selection) {
    const int count = plugin.effect().numOutputs;
    if (count == 0) throw HostError("the plug-in has no outputs to render");
    std::vector<int> pins;
    switch (selection.mode) {
    case PinMode::Master: {
        pins.push_back(0);
        // A plug-in that does not describe its pins is taken to have a stereo main pair.
        PinInfo first = plugin.outputPin(0);
        bool stereo = first.answered ? first.stereo : true;
        if (stereo && count > 1) pins.push_back(1);
        break;
    }
    case PinMode::All:
        for (int pin = 0; pin < count; ++pin) pins.push_back(pin);
        break;
    case PinMode::List:
        for (int pin : selection.pins) {
            if (pin >= count) {
                throw HostError("pin " + std::to_string(pin) + " does not exist: the plug-in has " +
                                std::to_string(count) + " outputs (0.." + std::to_string(count - 1) + ")");
            }
            pins.push_back(pin);
        }
        break;
    }
    return pins;
}

std::int64_t renderFrames(const RenderOptions& o) {
    double seconds = o.seconds ? *o.seconds : (o.bars ? *o.bars : RenderOptions::kDefaultBars) *
                                                  TimeLine::kBeatsPerBar * 60.0 / o.tempo;
    double frames = std::round(seconds * o.sampleRate);
    // Beyond a day of audio something is wrong with the options.
    if (frames < 1.0 || frames > 86400.0 * o.sampleRate) throw HostError("bad render length: 1 frame to 24 hours");
    return static_cast<std::int64_t>(frames);
}

struct PinStats {
    double peak = 0.0;
    double sumSquares = 0.0;
};

// The process calls are timed a stretch of blocks at a time, up to this many frames: read
// around every block, the clock (a system call) cost more than a short block itself and
// left the plug-in's next call starting on cold caches. The host's own work on the blocks
// (checks, statistics, the file) follows each stretch, outside the measurement.
constexpr int kTimedFrames = 4096;

}  // namespace

void runRender(const RenderOptions& o, std::FILE* out) {
    const std::int64_t totalFrames = renderFrames(o);
    std::vector<char> chunk;
    if (o.chunkFile) chunk = readWholeFile(*o.chunkFile, kMaxChunkBytes);

    PluginInstance plugin(o.plugin);
    const vst::AEffect& effect = plugin.effect();
    if (o.program && *o.program >= effect.numPrograms) {
        throw HostError("program " + std::to_string(*o.program) + " does not exist: the plug-in has " +
                        std::to_string(effect.numPrograms) + " programs");
    }
    for (const ParamSpec& p : o.params) {
        if (p.index >= effect.numParams) {
            throw HostError("parameter " + std::to_string(p.index) + " does not exist: the plug-in has " +
                            std::to_string(effect.numParams) + " parameters");
        }
    }
    if (o.chunkFile && !plugin.hasFlag(vst::effFlagsProgramChunks)) {
        throw HostError("the plug-in does not take its state as a chunk");
    }
    plugin.open();
    // The pins are looked at once, between effOpen and the start of the stream.
    const std::vector<int> pins = resolvePins(plugin, o.pins);
    std::vector<std::string> labels;
    for (int pin : pins) labels.push_back(plugin.outputPin(pin).label);
    const int numInputs = effect.numInputs;
    const int numOutputs = effect.numOutputs;

    HostState& host = plugin.hostState();
    host.sampleRate = o.sampleRate;
    host.blockSize = o.blockSize;
    host.timeInfoEnabled = o.timeInfo;
    const TimeLine timeLine(o.sampleRate, o.tempo, o.startBeat, o.transport);
    host.timeInfo = timeLine.timeInfoAt(0);
    MidiSchedule schedule(o.notes, timeLine, totalFrames);

    WavWriter wav(o.output, static_cast<int>(pins.size()), o.sampleRate, o.format, totalFrames);

    // All buffers are made before the plug-in is started: output buffers for each block of a
    // timed stretch.
    const auto block = static_cast<std::size_t>(o.blockSize);
    const int stretch = std::max(1, kTimedFrames / o.blockSize);
    std::vector<float> inputStorage(std::max<std::size_t>(1, numInputs * block));
    std::vector<float> outputStorage(std::max<std::size_t>(1, stretch * numOutputs * block));
    std::vector<float*> inputs(std::max(1, numInputs));
    std::vector<float*> outputs(static_cast<std::size_t>(stretch) * numOutputs);
    for (int i = 0; i < numInputs; ++i) inputs[i] = inputStorage.data() + i * block;
    for (std::size_t i = 0; i < outputs.size(); ++i) outputs[i] = outputStorage.data() + i * block;
    std::vector<float> interleaved(pins.size() * block);
    std::vector<PinStats> stats(pins.size());
    std::int64_t nonFinite = 0;
    double cpuSeconds = 0.0;
    double clockSeconds = 0.0;  // taken off cpuSeconds
    const double readingCost = clockReadingCost();

    plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(o.sampleRate));
    plugin.dispatch(vst::effSetBlockSize, 0, o.blockSize);
    plugin.resume();
    if (o.program) plugin.dispatch(vst::effSetProgram, 0, *o.program);
    if (o.chunkFile) plugin.loadChunk(chunk, false, *o.chunkFile);
    for (const ParamSpec& p : o.params) plugin.setParameter(p.index, p.value);

    const auto blockFrames = [&](std::int64_t start) {
        return static_cast<int>(std::min<std::int64_t>(o.blockSize, totalFrames - start));
    };
    for (std::int64_t first = 0; first < totalFrames;) {
        std::fill(inputStorage.begin(), inputStorage.end(), 0.0f);
        std::fill(outputStorage.begin(), outputStorage.end(), 0.0f);
        int blocks = 0;
        std::int64_t start = first;
        const double before = processCpuSeconds();
        for (; blocks < stretch && start < totalFrames; ++blocks, start += o.blockSize) {
            const int frames = blockFrames(start);
            host.timeInfo = timeLine.timeInfoAt(start);
            if (vst::VstEvents* events = schedule.eventsFor(start, frames)) plugin.processEvents(events);
            plugin.process(inputs.data(), outputs.data() + static_cast<std::size_t>(blocks) * numOutputs, frames);
        }
        const double spent = processCpuSeconds() - before;
        const double pluginSeconds = std::max(spent - readingCost, 0.0);
        cpuSeconds += pluginSeconds;
        clockSeconds += spent - pluginSeconds;

        for (int b = 0; b < blocks; ++b, first += o.blockSize) {
            const int frames = blockFrames(first);
            float* const* blockOutputs = outputs.data() + static_cast<std::size_t>(b) * numOutputs;
            for (int pin = 0; pin < numOutputs; ++pin) {
                const float* samples = blockOutputs[pin];
                for (int f = 0; f < frames; ++f) nonFinite += std::isfinite(samples[f]) ? 0 : 1;
            }
            for (std::size_t c = 0; c < pins.size(); ++c) {
                const float* samples = blockOutputs[pins[c]];
                PinStats& s = stats[c];
                for (int f = 0; f < frames; ++f) {
                    // A NaN or infinity is counted above and written as silence: one bad sample
                    // must not poison the file for whatever reads it next.
                    float x = std::isfinite(samples[f]) ? samples[f] : 0.0f;
                    interleaved[f * pins.size() + c] = x;
                    s.peak = std::max(s.peak, static_cast<double>(std::fabs(x)));
                    s.sumSquares += static_cast<double>(x) * x;
                }
            }
            wav.write(interleaved.data(), frames);
        }
    }

    plugin.suspend();
    plugin.close();
    wav.finish();

    const double seconds = static_cast<double>(totalFrames) / o.sampleRate;
    if (nonFinite > 0) {
        std::fprintf(stderr, "vorlatek-host: warning: the plug-in produced %lld NaN or infinite samples "
                             "(written as 0)\n", static_cast<long long>(nonFinite));
    }
    if (o.json) {
        Json j;
        j["frames"] = totalFrames;
        j["sampleRate"] = o.sampleRate;
        j["seconds"] = seconds;
        j["cpuSeconds"] = cpuSeconds;
        j["clockReadingSeconds"] = clockSeconds;
        j["realtimeFactor"] = cpuSeconds > 0.0 ? Json(seconds / cpuSeconds) : Json(nullptr);
        Json pinList = Json::array();
        for (std::size_t c = 0; c < pins.size(); ++c) {
            pinList.push_back({{"pin", pins[c]},
                               {"label", labels[c]},
                               {"peak", stats[c].peak},
                               {"rms", std::sqrt(stats[c].sumSquares / static_cast<double>(totalFrames))}});
        }
        j["pins"] = pinList;
        j["nonFinite"] = nonFinite;
        std::fprintf(out, "%s\n", j.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    } else {
        std::fprintf(out, "wrote %s: %lld frames (%.3f s) at %d Hz, %zu channel%s, %.1fx real time\n",
                     o.output.c_str(), static_cast<long long>(totalFrames), seconds, o.sampleRate, pins.size(),
                     pins.size() == 1 ? "" : "s", cpuSeconds > 0.0 ? seconds / cpuSeconds : 0.0);
    }
}

}  // namespace vorlatek::host
