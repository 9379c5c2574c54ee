#include "host/Options.h"

#include "host/HostError.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace vorlatek::host {

const char* const kUsage =
    "usage:\n"
    "  vorlatek-host info [--json] PLUGIN\n"
    "  vorlatek-host render PLUGIN -o OUT.wav [options]\n"
    "      --sample-rate HZ       (44100)\n"
    "      --block FRAMES         (512)\n"
    "      --tempo BPM            (120)\n"
    "      --bars N | --seconds S (4 bars of 4/4)\n"
    "      --start-beat B         host position at the start, negative for a pre-roll (0)\n"
    "      --no-transport         the time info says the transport is stopped\n"
    "      --no-time-info         the host answers no time info\n"
    "      --chunk FILE           bank chunk given to the plug-in before playing\n"
    "      --program N\n"
    "      --param INDEX=VALUE    (repeatable)\n"
    "      --note BEAT:NOTE[:VELOCITY[:LENGTH_BEATS[:CHANNEL]]]   (repeatable; velocity 100,\n"
    "                                 length 0.25, MIDI channel 1..16, default 1)\n"
    "      --pins all|master|LIST (LIST like 0,1,4-7; master)\n"
    "      --format float|pcm24   (float)\n"
    "      --json                 print a summary as JSON\n"
    "  vorlatek-host chunk PLUGIN -o FILE [--program] [--load FILE]\n"
    "  vorlatek-host validate PLUGIN [options]\n"
    "      tries the plug-in as a hostile host would, each check in a process of its own;\n"
    "      the exit status is 1 when a check fails\n"
    "      --quick                fewer cases per check (a few seconds in all)\n"
    "      --json                 print the results as JSON\n"
    "      --seed N               the random cases to draw (1)\n"
    "      --check NAME           run only this check (repeatable)\n"
    "      --time-limit S         seconds a check may take before it counts as hung\n"
    "                             (120 quick, 1200 full)\n"
    "  vorlatek-host edit PLUGIN [options]   (opens the plug-in's editor in an X11 window)\n"
    "      --chunk FILE           bank chunk given to the plug-in first\n"
    "      --program N\n"
    "      --play                 the host transport plays while the editor is open\n"
    "      --tempo BPM            (120)\n"
    "      --idle-hz N            editor idle calls per second, 1..1000 (30)\n"
    "      --seconds S            how long the editor stays open (3)\n"
    "      --screenshot FILE[@S]  PNG of the window at S seconds, or just before closing (repeatable)\n"
    "      --click X,Y[,ctrl|shift|alt]@S   a left click in the window at S seconds (repeatable)\n"
    "      --save-chunk FILE      the plug-in's bank chunk after closing the editor\n";

namespace {

double parseNumber(const std::string& text, const std::string& what) {
    double value = 0.0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (!text.empty() && *begin == '+') ++begin;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        throw HostError("bad " + what + ": '" + text + "' is not a number");
    }
    return value;
}

int parseInteger(const std::string& text, const std::string& what) {
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [stop, error] = std::from_chars(begin, end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        throw HostError("bad " + what + ": '" + text + "' is not an integer");
    }
    return value;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// Walks a command's arguments: options with a value (as "--opt VALUE" or "--opt=VALUE"),
// flags, and positional arguments.
class ArgumentWalker {
public:
    using ValueHandler = std::function<void(const std::string&)>;
    using FlagHandler = std::function<void()>;

    void value(const std::string& name, ValueHandler handler) { values_[name] = std::move(handler); }
    void flag(const std::string& name, FlagHandler handler) { flags_[name] = std::move(handler); }

    // Returns the positional arguments.
    std::vector<std::string> walk(const std::vector<std::string>& args) {
        std::vector<std::string> positional;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (arg.size() < 2 || arg[0] != '-') {
                positional.push_back(arg);
                continue;
            }
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            if (auto f = flags_.find(name); f != flags_.end() && !inlineValue) {
                f->second();
            } else if (auto v = values_.find(name); v != values_.end()) {
                if (inlineValue) {
                    v->second(*inlineValue);
                } else if (i + 1 < args.size()) {
                    v->second(args[++i]);
                } else {
                    throw HostError("option " + name + " needs a value");
                }
            } else {
                throw HostError("unknown option " + arg);
            }
        }
        return positional;
    }

private:
    std::map<std::string, ValueHandler> values_;
    std::map<std::string, FlagHandler> flags_;
};

std::string onePlugin(const std::vector<std::string>& positional, const std::string& command) {
    if (positional.empty()) throw HostError(command + ": no plug-in given");
    if (positional.size() > 1) throw HostError(command + ": unexpected argument '" + positional[1] + "'");
    return positional[0];
}

}  // namespace

NoteSpec parseNote(const std::string& text) {
    auto parts = split(text, ':');
    if (parts.size() < 2 || parts.size() > 5) {
        throw HostError("bad note '" + text + "': expected BEAT:NOTE[:VELOCITY[:LENGTH_BEATS[:CHANNEL]]]");
    }
    NoteSpec note;
    note.beat = parseNumber(parts[0], "note beat");
    note.note = parseInteger(parts[1], "note number");
    if (note.note < 0 || note.note > 127) throw HostError("bad note '" + text + "': note number must be 0..127");
    if (parts.size() > 2) {
        note.velocity = parseInteger(parts[2], "note velocity");
        if (note.velocity < 1 || note.velocity > 127) {
            throw HostError("bad note '" + text + "': velocity must be 1..127");
        }
    }
    if (parts.size() > 3) {
        note.lengthBeats = parseNumber(parts[3], "note length");
        if (note.lengthBeats <= 0.0) throw HostError("bad note '" + text + "': length must be above 0");
    }
    if (parts.size() > 4) {
        note.channel = parseInteger(parts[4], "note channel");
        if (note.channel < 1 || note.channel > 16) throw HostError("bad note '" + text + "': channel must be 1..16");
    }
    return note;
}

PinSelection parsePins(const std::string& text) {
    PinSelection selection;
    if (text == "all") {
        selection.mode = PinMode::All;
        return selection;
    }
    if (text == "master") return selection;
    selection.mode = PinMode::List;
    for (const std::string& item : split(text, ',')) {
        auto dash = item.find('-');
        int first = 0;
        int last = 0;
        if (dash == std::string::npos) {
            first = last = parseInteger(item, "pin");
        } else {
            first = parseInteger(item.substr(0, dash), "pin range");
            last = parseInteger(item.substr(dash + 1), "pin range");
        }
        if (first < 0 || last < first) throw HostError("bad pin range '" + item + "'");
        if (last - first > 4096) throw HostError("bad pin range '" + item + "': too many pins");
        // A pin may be listed twice: "0,0" puts a mono output on both channels of a file.
        for (int pin = first; pin <= last; ++pin) selection.pins.push_back(pin);
    }
    return selection;
}

InfoOptions parseInfoOptions(const std::vector<std::string>& args) {
    InfoOptions options;
    ArgumentWalker walker;
    walker.flag("--json", [&] { options.json = true; });
    options.plugin = onePlugin(walker.walk(args), "info");
    return options;
}

RenderOptions parseRenderOptions(const std::vector<std::string>& args) {
    RenderOptions o;
    ArgumentWalker walker;
    walker.value("-o", [&](const std::string& v) { o.output = v; });
    walker.value("--output", [&](const std::string& v) { o.output = v; });
    walker.value("--sample-rate", [&](const std::string& v) {
        o.sampleRate = parseInteger(v, "sample rate");
        if (o.sampleRate < 1000 || o.sampleRate > 1536000) throw HostError("bad sample rate: must be 1000..1536000 Hz");
    });
    walker.value("--block", [&](const std::string& v) {
        o.blockSize = parseInteger(v, "block size");
        if (o.blockSize < 1 || o.blockSize > 65536) throw HostError("bad block size: must be 1..65536 frames");
    });
    walker.value("--tempo", [&](const std::string& v) {
        o.tempo = parseNumber(v, "tempo");
        if (o.tempo < 1.0 || o.tempo > 1000.0) throw HostError("bad tempo: must be 1..1000 beats per minute");
    });
    walker.value("--bars", [&](const std::string& v) {
        o.bars = parseNumber(v, "bar count");
        if (*o.bars <= 0.0) throw HostError("bad bar count: must be above 0");
    });
    walker.value("--seconds", [&](const std::string& v) {
        o.seconds = parseNumber(v, "duration");
        if (*o.seconds <= 0.0) throw HostError("bad duration: must be above 0 seconds");
    });
    walker.value("--start-beat", [&](const std::string& v) { o.startBeat = parseNumber(v, "start beat"); });
    walker.flag("--no-transport", [&] { o.transport = false; });
    walker.flag("--no-time-info", [&] { o.timeInfo = false; });
    walker.value("--chunk", [&](const std::string& v) { o.chunkFile = v; });
    walker.value("--program", [&](const std::string& v) {
        o.program = parseInteger(v, "program number");
        if (*o.program < 0) throw HostError("bad program number: must not be negative");
    });
    walker.value("--param", [&](const std::string& v) {
        auto eq = v.find('=');
        if (eq == std::string::npos) throw HostError("bad parameter '" + v + "': expected INDEX=VALUE");
        ParamSpec param;
        param.index = parseInteger(v.substr(0, eq), "parameter index");
        double value = parseNumber(v.substr(eq + 1), "parameter value");
        if (param.index < 0) throw HostError("bad parameter '" + v + "': index must not be negative");
        if (value < 0.0 || value > 1.0) throw HostError("bad parameter '" + v + "': value must be 0..1");
        param.value = static_cast<float>(value);
        o.params.push_back(param);
    });
    walker.value("--note", [&](const std::string& v) { o.notes.push_back(parseNote(v)); });
    walker.value("--pins", [&](const std::string& v) { o.pins = parsePins(v); });
    walker.value("--format", [&](const std::string& v) {
        if (v == "float") {
            o.format = SampleFormat::Float;
        } else if (v == "pcm24") {
            o.format = SampleFormat::Pcm24;
        } else {
            throw HostError("bad format '" + v + "': expected float or pcm24");
        }
    });
    walker.flag("--json", [&] { o.json = true; });
    o.plugin = onePlugin(walker.walk(args), "render");
    if (o.output.empty()) throw HostError("render: no output file given (-o OUT.wav)");
    if (o.bars && o.seconds) throw HostError("render: give either --bars or --seconds, not both");
    return o;
}

ChunkOptions parseChunkOptions(const std::vector<std::string>& args) {
    ChunkOptions o;
    ArgumentWalker walker;
    walker.value("-o", [&](const std::string& v) { o.output = v; });
    walker.value("--output", [&](const std::string& v) { o.output = v; });
    walker.flag("--program", [&] { o.programForm = true; });
    walker.value("--load", [&](const std::string& v) { o.loadFile = v; });
    o.plugin = onePlugin(walker.walk(args), "chunk");
    if (o.output.empty()) throw HostError("chunk: no output file given (-o FILE)");
    return o;
}

ValidateOptions parseValidateOptions(const std::vector<std::string>& args) {
    ValidateOptions o;
    ArgumentWalker walker;
    walker.flag("--quick", [&] { o.quick = true; });
    walker.flag("--json", [&] { o.json = true; });
    walker.value("--seed", [&](const std::string& v) {
        const int seed = parseInteger(v, "seed");
        if (seed < 0) throw HostError("bad seed: must not be negative");
        o.seed = static_cast<std::uint32_t>(seed);
    });
    walker.value("--check", [&](const std::string& v) { o.checks.push_back(v); });
    walker.value("--time-limit", [&](const std::string& v) {
        o.timeLimit = parseNumber(v, "time limit");
        if (*o.timeLimit <= 0.0) throw HostError("bad time limit: must be above 0 seconds");
    });
    o.plugin = onePlugin(walker.walk(args), "validate");
    return o;
}

}  // namespace vorlatek::host

namespace vorlatek::host {

ClickSpec parseClick(const std::string& text) {
    const auto at = text.rfind('@');
    if (at == std::string::npos) throw HostError("bad click '" + text + "': expected X,Y[,ctrl|shift|alt]@SECONDS");
    ClickSpec click;
    click.at = parseNumber(text.substr(at + 1), "click time");
    if (click.at < 0.0) throw HostError("bad click '" + text + "': the time must not be negative");
    const std::vector<std::string> parts = split(text.substr(0, at), ',');
    if (parts.size() < 2 || parts.size() > 3) throw HostError("bad click '" + text + "': expected X,Y[,ctrl|shift|alt]@SECONDS");
    click.x = parseInteger(parts[0], "click position");
    click.y = parseInteger(parts[1], "click position");
    if (click.x < 0 || click.y < 0) throw HostError("bad click '" + text + "': the position must not be negative");
    if (parts.size() == 3) {
        if (parts[2] == "ctrl") click.modifier = ClickSpec::Control;
        else if (parts[2] == "shift") click.modifier = ClickSpec::Shift;
        else if (parts[2] == "alt") click.modifier = ClickSpec::Alt;
        else throw HostError("bad click '" + text + "': the modifier is ctrl, shift or alt");
    }
    return click;
}

EditOptions parseEditOptions(const std::vector<std::string>& args) {
    EditOptions o;
    ArgumentWalker walker;
    walker.value("--chunk", [&](const std::string& v) { o.chunkFile = v; });
    walker.value("--program", [&](const std::string& v) {
        o.program = parseInteger(v, "program number");
        if (*o.program < 0) throw HostError("bad program number: must not be negative");
    });
    walker.flag("--play", [&] { o.play = true; });
    walker.value("--tempo", [&](const std::string& v) {
        o.tempo = parseNumber(v, "tempo");
        if (o.tempo < 1.0 || o.tempo > 1000.0) throw HostError("bad tempo: must be 1..1000 beats per minute");
    });
    walker.value("--idle-hz", [&](const std::string& v) {
        o.idleHz = parseInteger(v, "idle rate");
        if (o.idleHz < 1 || o.idleHz > 1000) throw HostError("bad idle rate: must be 1..1000 calls per second");
    });
    walker.value("--seconds", [&](const std::string& v) {
        o.seconds = parseNumber(v, "duration");
        if (o.seconds <= 0.0 || o.seconds > 86400.0) throw HostError("bad duration: must be above 0 seconds, at most a day");
    });
    walker.value("--screenshot", [&](const std::string& v) {
        ScreenshotSpec shot;
        const auto at = v.rfind('@');
        shot.file = v.substr(0, at);
        if (at != std::string::npos) shot.at = parseNumber(v.substr(at + 1), "screenshot time");
        if (shot.file.empty()) throw HostError("bad screenshot '" + v + "': no file name");
        o.screenshots.push_back(shot);
    });
    walker.value("--click", [&](const std::string& v) { o.clicks.push_back(parseClick(v)); });
    walker.value("--save-chunk", [&](const std::string& v) { o.saveChunk = v; });
    o.plugin = onePlugin(walker.walk(args), "edit");
    return o;
}

}  // namespace vorlatek::host
