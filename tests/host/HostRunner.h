#pragma once
// Runs build/vorlatek-host as a separate process, as a user or a script would, and reads
// back what it wrote: standard output and error, exit status, WAV files, logs.

#include "HostProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hosttest {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;  // exit status; 128 + signal when killed by one
    std::string out;
    std::string err;
};

// A scratch folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vorlatek-host-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A copy of our plug-in in the test's own folder: the plug-in reads and writes its user
// settings file next to the module, so tests that share the built module would share that
// file too.
inline std::string isolatedPlugin(const TempDir& dir) {
    const std::string copy = dir.file(fs::path(VORLATEK_PLUGIN_PATH).filename().string());
    fs::copy_file(VORLATEK_PLUGIN_PATH, copy, fs::copy_options::overwrite_existing);
    return copy;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Starts the host with the arguments, its standard output and error going to the given
// files, and returns its process id (0 when it could not be started); extraEnv entries are
// "NAME=value".
inline std::intptr_t spawnHost(const std::vector<std::string>& args, const std::string& outPath,
                               const std::string& errPath, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argStrings{VORLATEK_HOST_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    return startProgram(argStrings, extraEnv, outPath, errPath);
}

// Waits for a process started by spawnHost: its exit status, or 128 + signal when a signal
// ended it.
inline int waitForHost(std::intptr_t process) { return waitForProgram(process); }

// Runs the host with the arguments; extraEnv entries are "NAME=value".
inline RunResult runHost(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
    TempDir scratch;
    const std::string outPath = scratch.file("stdout");
    const std::string errPath = scratch.file("stderr");
    RunResult result;
    result.status = waitForHost(spawnHost(args, outPath, errPath, extraEnv));
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

inline std::string fixture(const std::string& variant = "normal") {
    return std::string(VORLATEK_FIXTURE_DIR) + "/host_fixture_" + variant + VORLATEK_MODULE_SUFFIX;
}

// The line count of a message: a failure must say what went wrong on exactly one line.
inline int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

struct Wav {
    int channels = 0;
    int sampleRate = 0;
    long long frames = 0;
    int format = 0;
    std::vector<float> samples;  // interleaved

    float at(long long frame, int channel) const { return samples[frame * channels + channel]; }
};

inline Wav readWav(const std::string& path) {
    Wav wav;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return wav;
    }
    wav.channels = info.channels;
    wav.sampleRate = info.samplerate;
    wav.frames = info.frames;
    wav.format = info.format;
    wav.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, wav.samples.data(), info.frames);
    sf_close(file);
    return wav;
}

inline nlohmann::json parseJson(const std::string& text) {
    try {
        return nlohmann::json::parse(text);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not JSON: " << e.what() << "\n" << text;
        return nlohmann::json::object();
    }
}

}  // namespace hosttest
