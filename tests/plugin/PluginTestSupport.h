#pragma once
// Shared pieces of the plug-in tests: a PluginHost that records what the core reports,
// and a scratch folder that stands in for the module's folder.

#include "plugin/PluginHost.h"
#include "sequencer/TimeSnapshot.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vorlatek::test {

class RecordingHost : public PluginHost {
public:
    void updateDisplay() override { ++displayUpdates; }
    void parameterChanged(int index, float value) override { changes.push_back({index, value}); }
    void automate(int index, float value) override { automated.push_back({index, value}); }
    void notifyEditor(int code) override { notifications.push_back(code); }

    int count(int code) const {
        int n = 0;
        for (int c : notifications) n += c == code;
        return n;
    }
    void clear() {
        displayUpdates = 0;
        changes.clear();
        automated.clear();
        notifications.clear();
    }

    struct Change {
        int index;
        float value;
    };
    int displayUpdates = 0;
    std::vector<Change> changes;    // every change the editor hears of
    std::vector<Change> automated;  // changes reported to the host as automation
    std::vector<int> notifications;
};

// Output buffers for every pin of a plug-in, and the pointer array a host would pass.
class PinBuffers {
public:
    PinBuffers(int pins, int frames)
        : buffers_(static_cast<std::size_t>(pins), std::vector<float>(static_cast<std::size_t>(frames))) {
        for (auto& b : buffers_) pointers_.push_back(b.data());
    }
    float** pointers() { return pointers_.data(); }
    bool allFinite() const {
        for (const auto& b : buffers_)
            for (float x : b)
                if (!std::isfinite(x)) return false;
        return true;
    }

private:
    std::vector<std::vector<float>> buffers_;
    std::vector<float*> pointers_;
};

// A host transport that plays at `tempo` from position 0.
inline TimeSnapshot playingTransport(double tempo) {
    TimeSnapshot transport;
    transport.valid = transport.playing = transport.tempoValid = transport.ppqValid = true;
    transport.tempo = tempo;
    return transport;
}

// A fresh folder under the system's temporary directory, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlatek-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& text) const { std::ofstream(file(name)) << text; }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

private:
    std::string path_;
};

}  // namespace vorlatek::test
