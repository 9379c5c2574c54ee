// `info`: everything a host sees of a plug-in, as readable text or one JSON object.

#include "host/Commands.h"
#include "host/PluginInstance.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <string>

namespace vorlatek::host {
namespace {

using Json = nlohmann::ordered_json;

// The plug-in canDo strings a host asks about, then one no plug-in knows.
constexpr const char* kCanDoStrings[] = {
    "sendVstEvents",  "sendVstMidiEvent",      "sendVstTimeInfo",   "receiveVstEvents",
    "receiveVstMidiEvent", "receiveVstTimeInfo", "offline",        "plugAsChannelInsert",
    "plugAsSend",     "mixDryWet",             "noRealTime",        "multipass",
    "metapass",       "1in1out",               "1in2out",           "2in1out",
    "2in2out",        "2in4out",               "4in2out",           "4in4out",
    "4in8out",        "8in4out",               "8in8out",           "midiProgramNames",
    "conformsToWindowRules", "bypass",         "openFileSelector",  "vorlatekHostUnknownCanDo",
};

struct FlagName {
    vst::VstInt32 flag;
    const char* name;
};
constexpr FlagName kFlagNames[] = {
    {vst::effFlagsHasEditor, "hasEditor"},          {vst::effFlagsCanReplacing, "canReplacing"},
    {vst::effFlagsProgramChunks, "programChunks"},  {vst::effFlagsIsSynth, "isSynth"},
    {vst::effFlagsCanDoubleReplacing, "canDoubleReplacing"},
};

constexpr const char* kCategoryNames[] = {"unknown",  "effect",        "synth",      "analysis",
                                          "mastering", "spacializer",  "room fx",    "surround fx",
                                          "restoration", "offline process", "shell", "generator"};

Json uniqueIdOf(vst::VstInt32 id) {
    auto bits = static_cast<std::uint32_t>(id);
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto c = static_cast<unsigned char>((bits >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) return id;
        code.push_back(static_cast<char>(c));
    }
    return code;
}

Json describe(PluginInstance& plugin) {
    const vst::AEffect& e = plugin.effect();
    Json j;
    j["name"] = plugin.stringCall(vst::effGetEffectName);
    j["vendor"] = plugin.stringCall(vst::effGetVendorString);
    j["product"] = plugin.stringCall(vst::effGetProductString);
    j["vendorVersion"] = plugin.dispatch(vst::effGetVendorVersion);
    j["vstVersion"] = plugin.dispatch(vst::effGetVstVersion);
    j["uniqueId"] = uniqueIdOf(e.uniqueID);
    j["version"] = e.version;
    j["category"] = plugin.dispatch(vst::effGetPlugCategory);
    Json flags = Json::array();
    for (const FlagName& f : kFlagNames) {
        if (plugin.hasFlag(f.flag)) flags.push_back(f.name);
    }
    j["flags"] = flags;
    j["numPrograms"] = e.numPrograms;
    j["numParams"] = e.numParams;
    j["numInputs"] = e.numInputs;
    j["numOutputs"] = e.numOutputs;
    j["initialDelay"] = e.initialDelay;

    Json programs = Json::array();
    for (int i = 0; i < e.numPrograms; ++i) programs.push_back(plugin.stringCall(vst::effGetProgramNameIndexed, i));
    j["programs"] = programs;

    Json params = Json::array();
    for (int i = 0; i < e.numParams; ++i) {
        params.push_back({{"index", i},
                          {"name", plugin.stringCall(vst::effGetParamName, i)},
                          {"label", plugin.stringCall(vst::effGetParamLabel, i)},
                          {"display", plugin.stringCall(vst::effGetParamDisplay, i)},
                          {"value", plugin.getParameter(i)}});
    }
    j["params"] = params;

    Json outputs = Json::array();
    for (int pin = 0; pin < e.numOutputs; ++pin) {
        PinInfo info = plugin.outputPin(pin);
        outputs.push_back({{"pin", pin}, {"label", info.label}, {"stereo", info.stereo}, {"active", info.active}});
    }
    j["outputs"] = outputs;

    Json canDo = Json::object();
    for (const char* what : kCanDoStrings) canDo[what] = plugin.canDo(what);
    j["canDo"] = canDo;
    return j;
}

std::string quoted(const std::string& text) {
    std::string result(1, '"');
    result += text;
    result += '"';
    return result;
}

std::string text(const Json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); }

void printText(const Json& j, std::FILE* out) {
    auto line = [&](const char* key, const std::string& value) { std::fprintf(out, "%-15s %s\n", key, value.c_str()); };
    line("name:", text(j["name"]));
    line("vendor:", text(j["vendor"]));
    line("product:", text(j["product"]));
    line("vendor version:", text(j["vendorVersion"]));
    line("VST version:", text(j["vstVersion"]));
    line("unique ID:", text(j["uniqueId"]));
    line("version:", text(j["version"]));
    auto category = j["category"].get<long long>();
    std::string categoryText = std::to_string(category);
    if (category >= 0 && category < static_cast<long long>(std::size(kCategoryNames))) {
        categoryText += std::string(" (") + kCategoryNames[category] + ")";
    }
    line("category:", categoryText);
    std::string flags;
    for (const auto& f : j["flags"]) {
        if (!flags.empty()) flags += ' ';
        flags += f.get<std::string>();
    }
    line("flags:", flags);
    line("inputs:", text(j["numInputs"]));
    line("outputs:", text(j["numOutputs"]));
    line("initial delay:", text(j["initialDelay"]));

    std::fprintf(out, "\nprograms (%d):\n", j["numPrograms"].get<int>());
    int index = 0;
    for (const auto& name : j["programs"]) std::fprintf(out, "  %4d  %s\n", index++, name.get<std::string>().c_str());

    std::fprintf(out, "\nparameters (%d):          name      label     display   value\n", j["numParams"].get<int>());
    for (const auto& p : j["params"]) {
        std::fprintf(out, "  %4d  %-18s  %-8s  %-8s  %f\n", p["index"].get<int>(),
                     quoted(p["name"].get<std::string>()).c_str(), p["label"].get<std::string>().c_str(),
                     p["display"].get<std::string>().c_str(), p["value"].get<double>());
    }

    std::fprintf(out, "\noutput pins:\n");
    for (const auto& o : j["outputs"]) {
        std::fprintf(out, "  %4d  %-20s %s%s\n", o["pin"].get<int>(),
                     quoted(o["label"].get<std::string>()).c_str(), o["stereo"].get<bool>() ? "stereo " : "",
                     o["active"].get<bool>() ? "active" : "inactive");
    }

    std::fprintf(out, "\ncanDo:\n");
    for (const auto& [what, answer] : j["canDo"].items()) {
        std::fprintf(out, "  %-26s %lld\n", what.c_str(), answer.get<long long>());
    }
}

}  // namespace

void runInfo(const InfoOptions& options, std::FILE* out) {
    PluginInstance plugin(options.plugin);
    plugin.open();
    Json j = describe(plugin);
    plugin.close();
    if (options.json) {
        std::fprintf(out, "%s\n", j.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    } else {
        printText(j, out);
    }
}

}  // namespace vorlatek::host
