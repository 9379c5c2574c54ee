// A check of what hosts do all the time: audio and MIDI on one thread while another
// thread sets parameters, changes programs and saves and loads chunks.

#include "host/ValidationRig.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>

namespace vorlatek::host {
namespace {

constexpr int kBlock = 256;

std::string callsFromAnotherThread(CheckContext& context) {
    ValidationRig rig(context, 44100.0, kBlock);
    PluginInstance& plugin = rig.plugin();
    const vst::AEffect& effect = rig.effect();
    const bool chunks = (effect.flags & vst::effFlagsProgramChunks) != 0;
    std::vector<char> bank = chunks ? plugin.getChunk(false) : std::vector<char>();
    std::vector<char> program = chunks && effect.numPrograms > 0 ? plugin.getChunk(true) : std::vector<char>();

    // Both sides go on until each has done its share: the audio thread its blocks, this
    // thread its calls, whichever is slower.
    const int minimumBlocks = context.quick() ? 400 : 8000;
    const int minimumCalls = context.quick() ? 120 : 3000;
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::string audioFailure;
    context.step("processing while another thread calls");
    std::thread audio([&] {
        try {
            for (int block = 0; !stop.load(); ++block) {
                rig.process(kBlock, block % 16 == 0 ? ValidationRig::noteBurst(kBlock) : std::vector<vst::VstMidiEvent>{},
                            true, "a block played while another thread called");
                blocks.store(block + 1);
            }
        } catch (const std::exception& failure) {
            audioFailure = failure.what();
            blocks.store(minimumBlocks);
        }
    });

    // What the other thread does, round and round until the audio thread is done.
    std::array<int, 6> calls{};
    int total = 0;
    std::string callFailure;
    char text[256];
    while ((total < minimumCalls || blocks.load() < minimumBlocks) && callFailure.empty()) {
        const int kind = context.randomInt(0, static_cast<int>(calls.size()) - 1);
        const int param = effect.numParams > 0 ? context.randomInt(0, effect.numParams - 1) : 0;
        switch (kind) {
            case 0:
                if (effect.numParams > 0) plugin.setParameter(param, static_cast<float>(context.randomInt(0, 64)) / 64.0f);
                break;
            case 1:
                if (effect.numParams > 0) {
                    const float value = plugin.getParameter(param);
                    if (!std::isfinite(value) || value < 0.0f || value > 1.0f)
                        callFailure = "getParameter(" + std::to_string(param) + ") = " + describe(value) + " while playing";
                }
                break;
            case 2:
                if (effect.numPrograms > 0) plugin.dispatch(vst::effSetProgram, 0, context.randomInt(0, effect.numPrograms - 1));
                break;
            case 3:
                if (chunks) bank = plugin.getChunk(false);
                if (chunks && effect.numPrograms > 0) program = plugin.getChunk(true);
                break;
            case 4:
                if (!bank.empty()) plugin.setChunk(bank, false);
                if (!program.empty()) plugin.setChunk(program, true);
                break;
            default:
                plugin.dispatch(vst::effGetParamName, param, 0, text);
                plugin.dispatch(vst::effGetProgramNameIndexed, std::max(0, effect.numPrograms - 1), -1, text);
                plugin.dispatch(vst::effGetProgram);
        }
        ++calls[static_cast<std::size_t>(kind)];
        ++total;
    }
    stop.store(true);
    audio.join();
    context.expect(audioFailure.empty(), audioFailure);
    context.expect(callFailure.empty(), callFailure);
    return std::to_string(blocks.load()) + " blocks while " + std::to_string(total) +
           " parameter, program, chunk and name calls came from another thread";
}

}  // namespace

std::vector<Check> threadChecks() { return {{"calls from another thread", callsFromAnotherThread}}; }

}  // namespace vorlatek::host
