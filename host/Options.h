#pragma once
// Command-line options of the three commands, parsed and checked as far as possible
// without the plug-in (pin numbers, program and parameter indices are checked against the
// plug-in once it is loaded).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlatek::host {

struct InfoOptions {
    std::string plugin;
    bool json = false;
};

// One note to play on the host's beat time line.
struct NoteSpec {
    double beat = 0.0;
    int note = 0;
    int velocity = 100;
    double lengthBeats = 0.25;
    int channel = 1;  // 1..16
};

struct ParamSpec {
    int index = 0;
    float value = 0.0f;
};

enum class PinMode { Master, All, List };

struct PinSelection {
    PinMode mode = PinMode::Master;
    std::vector<int> pins;  // for PinMode::List, in the order given
};

enum class SampleFormat { Float, Pcm24 };

struct RenderOptions {
    std::string plugin;
    std::string output;
    int sampleRate = 44100;
    int blockSize = 512;
    double tempo = 120.0;
    std::optional<double> bars;
    std::optional<double> seconds;
    double startBeat = 0.0;
    bool transport = true;
    bool timeInfo = true;
    std::optional<std::string> chunkFile;
    std::optional<int> program;
    std::vector<ParamSpec> params;
    std::vector<NoteSpec> notes;
    PinSelection pins;
    SampleFormat format = SampleFormat::Float;
    bool json = false;

    static constexpr double kDefaultBars = 4.0;
};

struct ChunkOptions {
    std::string plugin;
    std::string output;
    bool programForm = false;
    std::optional<std::string> loadFile;
};

struct ValidateOptions {
    std::string plugin;
    bool quick = false;
    bool json = false;
    std::uint32_t seed = 1;
    std::vector<std::string> checks;  // by name; all when empty
    std::optional<double> timeLimit;  // seconds per check; a default for quick and full runs
};

// One click of the `edit` command: at a point of the editor window (window pixels), with a
// modifier key held, a number of seconds after the editor opened.
struct ClickSpec {
    enum Modifier { None, Control, Shift, Alt };
    int x = 0;
    int y = 0;
    Modifier modifier = None;
    double at = 0.0;
};

// A screenshot of the editor window at a time (seconds after the editor opened); without a
// time, just before the editor closes.
struct ScreenshotSpec {
    std::string file;
    std::optional<double> at;
};

struct EditOptions {
    std::string plugin;
    std::optional<std::string> chunkFile;
    std::optional<int> program;
    bool play = false;
    double tempo = 120.0;
    int idleHz = 30;
    double seconds = 3.0;
    int sampleRate = 44100;
    int blockSize = 512;
    std::vector<ScreenshotSpec> screenshots;
    std::vector<ClickSpec> clicks;
    std::optional<std::string> saveChunk;
};

// Each throws HostError with a one-line message on a bad option.
InfoOptions parseInfoOptions(const std::vector<std::string>& args);
RenderOptions parseRenderOptions(const std::vector<std::string>& args);
ChunkOptions parseChunkOptions(const std::vector<std::string>& args);
EditOptions parseEditOptions(const std::vector<std::string>& args);
ClickSpec parseClick(const std::string& text);
ValidateOptions parseValidateOptions(const std::vector<std::string>& args);

// The pieces, exposed for reuse and for their error messages.
NoteSpec parseNote(const std::string& text);
PinSelection parsePins(const std::string& text);

extern const char* const kUsage;

}  // namespace vorlatek::host
