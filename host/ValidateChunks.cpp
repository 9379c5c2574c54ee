// Checks of the state a host keeps in its project: chunks of random states round trip to
// the byte with program and parameters restored; a damaged chunk (cut short, random bytes)
// changes nothing that was stored, and a hostile one leaves a sane state that still round
// trips; and a German locale changes no byte of a chunk.

#include "host/ValidationRig.h"

#include <clocale>
#include <cmath>
#include <cstring>

namespace vorlatek::host {
namespace {

using Bytes = std::vector<char>;

// A state a host could have made: a program, its name, and every parameter on a value that
// six decimals carry exactly.
struct RandomState {
    int program = 0;
    std::string programName;
    std::vector<float> values;
};

RandomState randomState(CheckContext& context, const vst::AEffect& effect) {
    RandomState state;
    state.program = effect.numPrograms > 0 ? context.randomInt(0, effect.numPrograms - 1) : 0;
    state.programName = "Check " + std::to_string(context.randomInt(0, 99999));
    for (int i = 0; i < effect.numParams; ++i) state.values.push_back(static_cast<float>(context.randomInt(0, 64)) / 64.0f);
    return state;
}

void apply(PluginInstance& plugin, const RandomState& state) {
    if (plugin.effect().numPrograms > 0) plugin.dispatch(vst::effSetProgram, 0, state.program);
    std::string name = state.programName;
    plugin.dispatch(vst::effSetProgramName, 0, 0, name.data());
    for (std::size_t i = 0; i < state.values.size(); ++i) plugin.setParameter(static_cast<int>(i), state.values[i]);
}

std::vector<float> parameters(PluginInstance& plugin) {
    std::vector<float> values;
    for (int i = 0; i < plugin.effect().numParams; ++i) values.push_back(plugin.getParameter(i));
    return values;
}

int program(PluginInstance& plugin) { return static_cast<int>(plugin.dispatch(vst::effGetProgram)); }

Bytes chunkOf(CheckContext& context, PluginInstance& plugin, bool programForm) {
    Bytes chunk = plugin.getChunk(programForm);
    context.expect(!chunk.empty(), std::string("effGetChunk returned no ") + (programForm ? "program" : "bank") + " chunk");
    return chunk;
}

// Where two chunks first differ, for messages.
std::string difference(const Bytes& expected, const Bytes& got) {
    std::size_t at = 0;
    while (at < expected.size() && at < got.size() && expected[at] == got[at]) ++at;
    return "first difference at byte " + std::to_string(at) + " (" + std::to_string(expected.size()) + " bytes, now " +
           std::to_string(got.size()) + ")";
}

void expectSameChunk(CheckContext& context, const Bytes& expected, const Bytes& got, const std::string& what) {
    context.expect(got == expected, what + ": " + difference(expected, got));
}

void expectSameParameters(CheckContext& context, const std::vector<float>& expected, const std::vector<float>& got,
                          const std::string& what) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        context.expect(std::fabs(expected[i] - got[i]) <= 1e-6f, what + ": parameter " + std::to_string(i) + " is " +
                                                                    describe(got[i]) + ", was " + describe(expected[i]));
    }
}

void requireChunks(const vst::AEffect& effect) {
    if ((effect.flags & vst::effFlagsProgramChunks) == 0) throw CheckSkipped("the plug-in keeps no chunks");
}

std::string roundTrips(CheckContext& context) {
    const int states = context.quick() ? 2 : 10;
    int programChunks = 0;
    for (int round = 0; round < states; ++round) {
        context.step("random state " + std::to_string(round + 1));
        ValidationRig source(context);
        requireChunks(source.effect());
        const RandomState state = randomState(context, source.effect());
        apply(source.plugin(), state);
        source.run(4 * source.maxBlock(), ValidationRig::noteBurst(source.maxBlock()));
        const Bytes bank = chunkOf(context, source.plugin(), false);

        context.step("bank chunk of state " + std::to_string(round + 1) + " into a new instance");
        ValidationRig copy(context);
        const int automatedBefore = copy.plugin().requestCount(vst::audioMasterAutomate);
        Bytes given = bank;
        copy.plugin().setChunk(given, false);
        expectSameChunk(context, bank, chunkOf(context, copy.plugin(), false), "the bank chunk read back differs");
        if (source.effect().numPrograms > 0) {
            context.expect(program(copy.plugin()) == program(source.plugin()),
                           "the bank chunk restored program " + std::to_string(program(copy.plugin())) + ", not " +
                               std::to_string(program(source.plugin())));
        }
        expectSameParameters(context, parameters(source.plugin()), parameters(copy.plugin()),
                             "after the bank chunk");
        const int echoes = copy.plugin().requestCount(vst::audioMasterAutomate) - automatedBefore;
        context.expect(echoes == 0, "effSetChunk sent audioMasterAutomate " + std::to_string(echoes) + " times");
        copy.run(4 * copy.maxBlock(), ValidationRig::noteBurst(copy.maxBlock()));

        if (source.effect().numPrograms == 0) continue;
        context.step("program chunk of state " + std::to_string(round + 1) + " into a new instance");
        const Bytes one = chunkOf(context, source.plugin(), true);
        ValidationRig other(context);
        other.plugin().dispatch(vst::effSetProgram, 0, state.program);
        given = one;
        other.plugin().setChunk(given, true);
        expectSameChunk(context, one, chunkOf(context, other.plugin(), true), "the program chunk read back differs");
        ++programChunks;
    }
    return std::to_string(states) + " random states: bank chunks identical with program and parameters restored" +
           (programChunks > 0 ? ", program chunks identical" : "");
}

// Lengths to cut a chunk of `size` bytes to: all of them, or a spread with both ends.
std::vector<std::size_t> cuts(std::size_t size, std::size_t most) {
    std::vector<std::size_t> lengths;
    if (size <= most) {
        for (std::size_t n = 0; n < size; ++n) lengths.push_back(n);
        return lengths;
    }
    for (std::size_t n = 0; n < 8; ++n) lengths.push_back(n);
    for (std::size_t k = 1; k + 16 < most; ++k) lengths.push_back(size * k / (most - 16));
    for (std::size_t n = 8; n >= 1; --n) lengths.push_back(size - n);
    return lengths;
}

// Chunks a host should never send but a corrupted project can hold.
std::vector<Bytes> hostileChunks(const Bytes& chunk, bool quick) {
    const auto bytes = [](const std::string& text) { return Bytes(text.begin(), text.end()); };
    std::vector<Bytes> list;
    list.push_back(bytes("<?xml version=\"1.0\"?><!DOCTYPE b [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;"
                         "&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;"
                         "&c;&c;&c;&c;&c;\">]><b>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;</b>"));
    list.push_back(bytes("<?xml version=\"1.0\"?><!DOCTYPE x SYSTEM \"file:///etc/passwd\"><x>&xxe;</x>"));
    const int depth = quick ? 20000 : 200000;
    std::string nested;
    for (int i = 0; i < depth; ++i) nested += "<a>";
    list.push_back(bytes(nested));
    list.push_back(bytes("<a b=\"" + std::string(quick ? 1u << 20 : 16u << 20, 'x') + "\"/>"));
    // The chunk itself with every quoted value replaced: huge, negative, not numbers.
    for (const char* value : {"99999999999", "-1e30", "nan", "inf", "0,5", "", "\xff\xfe"}) {
        std::string text(chunk.begin(), chunk.end());
        std::string changed;
        std::size_t at = 0;
        while (true) {
            const std::size_t open = text.find("value=\"", at);
            if (open == std::string::npos) break;
            const std::size_t close = text.find('"', open + 7);
            if (close == std::string::npos) break;
            changed.append(text, at, open + 7 - at).append(value);
            at = close;
        }
        changed.append(text, at, std::string::npos);
        list.push_back(bytes(changed));
    }
    return list;
}

Bytes mutated(CheckContext& context, const Bytes& chunk) {
    Bytes copy = chunk;
    if (copy.empty()) return copy;
    const auto position = [&] { return static_cast<std::size_t>(context.randomInt(0, static_cast<int>(copy.size()) - 1)); };
    switch (context.randomInt(0, 2)) {
        case 0:
            for (int flips = context.randomInt(1, 20); flips > 0; --flips)
                copy[position()] ^= static_cast<char>(1 << context.randomInt(0, 7));
            break;
        case 1: {
            const std::size_t from = position();
            copy.erase(copy.begin() + static_cast<std::ptrdiff_t>(from),
                       copy.begin() + static_cast<std::ptrdiff_t>(std::min(copy.size(), from + position() % 4096 + 1)));
            break;
        }
        default: {
            const std::size_t from = position();
            const Bytes piece(copy.begin() + static_cast<std::ptrdiff_t>(from),
                              copy.begin() + static_cast<std::ptrdiff_t>(std::min(copy.size(), from + 256)));
            copy.insert(copy.begin() + static_cast<std::ptrdiff_t>(position()), piece.begin(), piece.end());
        }
    }
    return copy;
}

// After whatever a damaged chunk did, the plug-in must hold a state a host can work with:
// values in range, a program that exists, and a chunk that reads back as itself.
void expectSaneState(CheckContext& context, PluginInstance& plugin, const std::string& what) {
    const auto values = parameters(plugin);
    for (std::size_t i = 0; i < values.size(); ++i) {
        context.expect(std::isfinite(values[i]) && values[i] >= 0.0f && values[i] <= 1.0f,
                       what + " left parameter " + std::to_string(i) + " at " + describe(values[i]));
    }
    const int count = plugin.effect().numPrograms;
    if (count > 0) {
        context.expect(program(plugin) >= 0 && program(plugin) < count,
                       what + " left the program at " + std::to_string(program(plugin)));
    }
    const Bytes state = chunkOf(context, plugin, false);
    Bytes given = state;
    plugin.setChunk(given, false);
    expectSameChunk(context, state, chunkOf(context, plugin, false), "after " + what + " the state does not round trip");
}

std::string damagedChunks(CheckContext& context) {
    ValidationRig rig(context);
    requireChunks(rig.effect());
    PluginInstance& plugin = rig.plugin();
    apply(plugin, randomState(context, rig.effect()));
    Bytes bank = chunkOf(context, plugin, false);
    plugin.setChunk(bank, false);
    const Bytes stored = chunkOf(context, plugin, false);
    const bool programs = rig.effect().numPrograms > 0;
    const Bytes storedProgram = programs ? chunkOf(context, plugin, true) : Bytes();

    // Cut short or random: nothing of what was stored may be lost.
    int tried = 0;
    // A program chunk is compared with the program it may change; the whole state is
    // compared after every bank chunk and at the end.
    const auto expectUnchanged = [&](Bytes damaged, bool programForm, const std::string& what) {
        context.step(what);
        plugin.setChunk(damaged, programForm);
        if (programForm) {
            expectSameChunk(context, storedProgram, chunkOf(context, plugin, true), what + " changed the stored program");
        } else {
            expectSameChunk(context, stored, chunkOf(context, plugin, false), what + " changed the stored state");
        }
        ++tried;
    };
    for (std::size_t length : cuts(stored.size(), context.quick() ? 12 : 600)) {
        expectUnchanged(Bytes(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(length)), false,
                        "the bank chunk cut to " + std::to_string(length) + " of " + std::to_string(stored.size()) +
                            " bytes");
    }
    if (programs) {
        for (std::size_t length : cuts(storedProgram.size(), context.quick() ? 32 : 100000)) {
            expectUnchanged(Bytes(storedProgram.begin(), storedProgram.begin() + static_cast<std::ptrdiff_t>(length)),
                            true,
                            "the program chunk cut to " + std::to_string(length) + " of " +
                                std::to_string(storedProgram.size()) + " bytes");
        }
    }
    expectSameChunk(context, stored, chunkOf(context, plugin, false), "cut program chunks changed the stored state");
    for (int i = 0, count = context.quick() ? 8 : 300; i < count; ++i) {
        Bytes noise(static_cast<std::size_t>(context.randomInt(0, 4096)));
        for (char& c : noise) c = static_cast<char>(context.randomInt(0, 255));
        expectUnchanged(noise, i % 2 == 1 && programs, std::to_string(noise.size()) + " random bytes as a chunk");
    }

    // Hostile or corrupted: the plug-in may take what it can, but must stay sane.
    std::vector<std::pair<Bytes, std::string>> hostile;
    int index = 0;
    for (Bytes& chunk : hostileChunks(stored, context.quick()))
        hostile.emplace_back(std::move(chunk), "hostile chunk " + std::to_string(++index));
    for (int i = 0, count = context.quick() ? 4 : 150; i < count; ++i)
        hostile.emplace_back(mutated(context, stored), "corrupted chunk " + std::to_string(i + 1));
    for (auto& [chunk, what] : hostile) {
        context.step(what + " (" + std::to_string(chunk.size()) + " bytes)");
        plugin.setChunk(chunk, false);
        expectSaneState(context, plugin, what);
        rig.process(rig.maxBlock(), ValidationRig::noteBurst(rig.maxBlock()), true, ("a block after " + what).c_str());
        bank = stored;
        plugin.setChunk(bank, false);
        expectSameChunk(context, stored, chunkOf(context, plugin, false), "the stored chunk given again after " + what);
    }
    return std::to_string(tried) + " cut or random chunks changed nothing, " + std::to_string(hostile.size()) +
           " hostile or corrupted ones left a sane state";
}

constexpr const char* kGermanLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro", "de_DE.ISO-8859-1",
                                          "de_DE.ISO8859-1"};

std::string germanLocale(CheckContext& context) {
    ValidationRig english(context);
    requireChunks(english.effect());
    const RandomState state = randomState(context, english.effect());
    apply(english.plugin(), state);
    const Bytes reference = chunkOf(context, english.plugin(), false);
    const auto values = parameters(english.plugin());

    const char* name = nullptr;
    for (const char* candidate : kGermanLocales) {
        if (std::setlocale(LC_ALL, candidate) != nullptr) {
            name = candidate;
            break;
        }
    }
    if (name == nullptr || std::strcmp(std::localeconv()->decimal_point, ",") != 0)
        throw CheckSkipped("no German locale is installed (locale-gen de_DE.UTF-8)");
    const std::string active = std::setlocale(LC_ALL, nullptr);

    context.step("the same state made under " + active);
    ValidationRig german(context);
    apply(german.plugin(), state);
    german.run(4 * german.maxBlock(), ValidationRig::noteBurst(german.maxBlock()));
    expectSameChunk(context, reference, chunkOf(context, german.plugin(), false),
                    "the chunk of the same state under " + active + " differs");

    context.step("the chunk read under " + active);
    ValidationRig reader(context);
    // On the program the state had, as a host restores it: what is compared is how the
    // numbers are read, not whether the chunk carries the program.
    if (reader.effect().numPrograms > 0) reader.plugin().dispatch(vst::effSetProgram, 0, state.program);
    Bytes given = reference;
    reader.plugin().setChunk(given, false);
    expectSameParameters(context, values, parameters(reader.plugin()), "the chunk read under " + active);
    expectSameChunk(context, reference, chunkOf(context, reader.plugin(), false),
                    "the chunk read and written under " + active + " differs");

    context.expect(active == std::setlocale(LC_ALL, nullptr), std::string("the plug-in changed the locale to ") +
                                                                  std::setlocale(LC_ALL, nullptr));
    context.expect(std::strcmp(std::localeconv()->decimal_point, ",") == 0, "the plug-in changed the decimal point");
    return "chunks written and read under " + active + " are the same bytes as under C";
}

}  // namespace

std::vector<Check> chunkChecks() {
    return {{"chunk round trips", roundTrips}, {"damaged chunks", damagedChunks}, {"German locale", germanLocale}};
}

}  // namespace vorlatek::host
