// Checks of a plug-in's life: many instances made and closed, several side by side, and
// the module unloaded, with nothing left behind (open files, threads).

#include "host/ValidationRig.h"

#include <dirent.h>

#include <array>

namespace vorlatek::host {
namespace {

// Entries of a /proc folder. Only differences are used: the descriptor the listing itself
// holds is counted every time alike.
int countEntries(const char* folder) {
    DIR* dir = ::opendir(folder);
    if (dir == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) count += entry->d_name[0] != '.';
    ::closedir(dir);
    return count;
}

int openDescriptors() { return countEntries("/proc/self/fd"); }
int runningThreads() { return countEntries("/proc/self/task"); }

// One instance's life: made and closed, or made, played and closed.
void oneLife(CheckContext& context, bool play) {
    if (!play) {
        PluginInstance plugin(context.module());
        plugin.open();
        plugin.close();
        return;
    }
    ValidationRig rig(context);
    rig.process(rig.maxBlock(), ValidationRig::noteBurst(rig.maxBlock()));
}

std::string createAndClose(CheckContext& context) {
    const int cycles = context.quick() ? 30 : 1000;
    // The first life may set up what the module keeps for good (caches, a worker thread);
    // what is counted is what every further life leaves behind.
    context.step("first instance");
    oneLife(context, true);
    const int descriptors = openDescriptors();
    const int threads = runningThreads();
    for (int cycle = 0; cycle < cycles; ++cycle) {
        context.step("instance " + std::to_string(cycle + 2));
        oneLife(context, cycle % 2 == 1);
    }

    context.step("four instances side by side");
    std::array<std::unique_ptr<ValidationRig>, 4> rigs;
    for (auto& rig : rigs) rig = std::make_unique<ValidationRig>(context);
    for (int block = 0; block < 8; ++block) {
        for (auto& rig : rigs) rig->process(rig->maxBlock(), block == 0 ? ValidationRig::noteBurst(rig->maxBlock())
                                                                          : std::vector<vst::VstMidiEvent>{});
    }
    for (int i : {2, 0, 3, 1}) rigs[static_cast<std::size_t>(i)].reset();

    const int leakedDescriptors = openDescriptors() - descriptors;
    const int leakedThreads = runningThreads() - threads;
    // A few may come and go for reasons of their own; one per instance is a leak.
    const int tolerance = 2;
    context.expect(leakedDescriptors <= tolerance, std::to_string(leakedDescriptors) + " more files are open after " +
                                                       std::to_string(cycles + 4) + " instances were closed");
    context.expect(leakedThreads <= tolerance, std::to_string(leakedThreads) + " more threads run after " +
                                                   std::to_string(cycles + 4) + " instances were closed");
    return std::to_string(cycles + 1) + " instances one after another, 4 side by side, nothing left open";
}

std::string moduleUnload(CheckContext& context) {
    const int threads = runningThreads();
    const int rounds = context.quick() ? 2 : 10;
    for (int round = 0; round < rounds; ++round) {
        context.step("load " + std::to_string(round + 1));
        auto module = std::make_shared<PluginModule>(context.pluginPath());
        {
            PluginInstance plugin(module);
            plugin.open();
            plugin.resume();
            plugin.suspend();
            plugin.close();
        }
        module.reset();
        const int left = runningThreads() - threads;
        context.expect(left <= 0, std::to_string(left) + " threads still run after the module was unloaded");
    }
    return std::to_string(rounds) + " loads and unloads, no thread left running";
}

}  // namespace

std::vector<Check> lifecycleChecks() {
    return {{"create and close", createAndClose}, {"module unload", moduleUnload}};
}

}  // namespace vorlatek::host
