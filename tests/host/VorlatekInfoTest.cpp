// What a host sees of our plug-in, through vorlatek-host as a third-party host would.

#include "HostRunner.h"

using namespace hosttest;
using nlohmann::json;

namespace {

std::vector<std::string> expectedShortNames() {
    const char* const instruments[] = {"BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL",
                                       "RS", "MA", "CP", "CB", "LG", "CY", "OH", "CH"};
    std::vector<std::string> names = {
        "AC Level", "BD Level", "BD Tone",  "BD Decay", "BD Sweep", "SD Level", "SD Tone",  "SD Decay",
        "SD Snapp", "LC Level", "LC Tunng", "LC Decay", "MC Level", "MC Tunng", "MC Decay", "HC Level",
        "HC Tunng", "HC Decay", "LT Level", "LT Tunng", "LT Decay", "LT Snapp", "MT Level", "MT Tunng",
        "MT Decay", "MT Snapp", "HT Level", "HT Tunng", "HT Decay", "HT Snapp", "CL Level", "CL Tunng",
        "CL Decay", "RS Level", "RS Tunng", "RS Decay", "MA Level", "MA Tone ", "CP Level", "CP Tone ",
        "CP Revrb", "CB Level", "CB Tunng", "CB Decay", "LG Level", "LG Depth", "LG Decay", "LG Sweep",
        "CY Level", "CY Tone",  "CY Decay", "OH Level", "OH Tone",  "OH Decay", "CH Level", "CH Tone",
        "CH Decay", "HH FlFrq", "Volume"};
    for (const char* i : instruments) names.push_back(std::string(i) + " Mute");
    for (const char* i : instruments) names.push_back(std::string(i) + " Solo");
    for (const char* i : instruments) names.push_back(std::string(i) + " RndTh");
    names.push_back("AC RndTh");
    return names;
}

// `info --json` of a private copy of our plug-in.
json vorlatekInfo() {
    TempDir dir;
    RunResult r = runHost({"info", "--json", isolatedPlugin(dir)});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.status == 0 ? parseJson(r.out) : json::object();
}

}  // namespace

TEST(VorlatekInfo, PublishesItsIdentity) {
    json j = vorlatekInfo();
    EXPECT_EQ(j["name"], "Vorlatek");
    EXPECT_EQ(j["product"], "Vorlatek");
    EXPECT_EQ(j["vendor"], "Velmora Group Audio Software");
    EXPECT_EQ(j["vendorVersion"], 1050);
    EXPECT_EQ(j["vstVersion"], 2400);
    EXPECT_EQ(j["uniqueId"], "VRLT");
    EXPECT_EQ(j["version"], 1);
    EXPECT_EQ(j["category"], 2);
#ifdef _WIN32
    // No editor yet on Windows: none is announced.
    EXPECT_EQ(j["flags"], json::parse(R"(["canReplacing", "programChunks", "isSynth"])"));
#else
    // The editor is announced.
    EXPECT_EQ(j["flags"], json::parse(R"(["hasEditor", "canReplacing", "programChunks", "isSynth"])"));
#endif
    EXPECT_EQ(j["numInputs"], 0);
    EXPECT_EQ(j["initialDelay"], 0);
    EXPECT_EQ(j["numPrograms"], 128);
    EXPECT_EQ(j["programs"].size(), 128u);
}

TEST(VorlatekInfo, ParametersCarryTheirShortNames) {
    json j = vorlatekInfo();
    EXPECT_EQ(j["numParams"], 111);
    const auto names = expectedShortNames();
    ASSERT_EQ(names.size(), 111u);
    ASSERT_EQ(j["params"].size(), 111u);
    for (int i = 0; i < 111; ++i) {
        const json& p = j["params"][i];
        EXPECT_EQ(p["name"], names[i]) << i;
        EXPECT_EQ(p["label"], "") << i;
        EXPECT_EQ(p["display"], "") << i;  // the plug-in writes no display text
    }
    // The global parameters start at their declared defaults.
    EXPECT_EQ(j["params"][58]["value"], 0.5);
    EXPECT_EQ(j["params"][59]["value"], 0.0);
    EXPECT_EQ(j["params"][92]["value"], 0.0);
    EXPECT_FLOAT_EQ(j["params"][93]["value"].get<float>(), 0.2f);
    EXPECT_FLOAT_EQ(j["params"][110]["value"].get<float>(), 0.2f);
}

TEST(VorlatekInfo, OutputsAreMasterThenSeventeenStereoPairs) {
    json j = vorlatekInfo();
    EXPECT_EQ(j["numOutputs"], 36);
    ASSERT_EQ(j["outputs"].size(), 36u);
    for (int pin = 0; pin < 36; ++pin) {
        std::string label = pin < 2 ? "VRLTK Master" : "VRLTK " + std::to_string((pin - 2) / 2 + 1);
        EXPECT_EQ(j["outputs"][pin], json({{"pin", pin}, {"label", label}, {"stereo", true}, {"active", true}})) << pin;
    }
}

TEST(VorlatekInfo, CanDoAnswers) {
    json canDo = vorlatekInfo()["canDo"];
    for (const char* no : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "bypass"}) EXPECT_EQ(canDo[no], -1) << no;
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "midiProgramNames"}) {
        EXPECT_EQ(canDo[yes], 1) << yes;
    }
    for (const char* zero : {"offline", "plugAsChannelInsert", "plugAsSend", "mixDryWet", "noRealTime", "multipass",
                             "metapass", "1in1out", "2in2out", "8in8out", "conformsToWindowRules", "openFileSelector",
                             "vorlatekHostUnknownCanDo"}) {
        EXPECT_EQ(canDo[zero], 0) << zero;
    }
}

// The user settings file lives beside the module wherever a user keeps it: a folder with
// spaces and letters of any script, reached by its full name (a drive letter and
// backslashes on Windows).
TEST(VorlatekModule, KeepsItsSettingsBesideItInAFolderOfAnyName) {
    TempDir dir;
    const fs::path folder = dir.path() / fs::path(u8"VST Plug-ins Jürgen 音");
    fs::create_directory(folder);
    const fs::path module = folder / fs::path(VORLATEK_PLUGIN_PATH).filename();
    fs::copy_file(VORLATEK_PLUGIN_PATH, module);
    const std::u8string name = fs::absolute(module).u8string();
    RunResult r = runHost({"info", std::string(name.begin(), name.end())});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(folder / "Vorlatek.ini"));
}
