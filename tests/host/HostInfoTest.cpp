// `info` against the fixture plug-in: every field a host reads, in JSON and as text.

#include "HostRunner.h"

#include <set>

using namespace hosttest;
using nlohmann::json;

TEST(HostInfo, JsonDescribesThePlugin) {
    TempDir dir;
    const std::string log = dir.file("log");
    RunResult r = runHost({"info", "--json", fixture()}, {"VORLATEK_FIXTURE_LOG=" + log, "VORLATEK_FIXTURE_CHATTY=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The fixture prints on its standard output; that must not end up in the JSON.
    EXPECT_NE(r.err.find("fixture chatter"), std::string::npos);
    json j = parseJson(r.out);

    std::set<std::string> keys;
    for (const auto& item : j.items()) keys.insert(item.key());
    EXPECT_EQ(keys, (std::set<std::string>{"name", "vendor", "product", "vendorVersion", "vstVersion", "uniqueId",
                                           "version", "category", "flags", "numPrograms", "numParams", "numInputs",
                                           "numOutputs", "initialDelay", "programs", "params", "outputs", "canDo"}));
    EXPECT_EQ(j["name"], "Fixture Synth");
    EXPECT_EQ(j["vendor"], "Host Test Vendor");
    EXPECT_EQ(j["product"], "Fixture Product");
    EXPECT_EQ(j["vendorVersion"], 4242);
    EXPECT_EQ(j["vstVersion"], 2400);
    EXPECT_EQ(j["uniqueId"], "FxHt");
    EXPECT_EQ(j["version"], 7);
    EXPECT_EQ(j["category"], 2);
    EXPECT_EQ(j["flags"], json::parse(R"(["canReplacing", "programChunks", "isSynth"])"));
    EXPECT_EQ(j["numPrograms"], 3);
    EXPECT_EQ(j["numParams"], 3);
    EXPECT_EQ(j["numInputs"], 2);
    EXPECT_EQ(j["numOutputs"], 6);
    EXPECT_EQ(j["initialDelay"], 3);
    EXPECT_EQ(j["programs"], json::parse(R"(["Init", "Bright", "Dark"])"));

    ASSERT_EQ(j["params"].size(), 3u);
    EXPECT_EQ(j["params"][0], json::parse(R"({"index":0, "name":"Gain", "label":"dB", "display":"1.00", "value":0.5})"));
    // A parameter whose display the plug-in leaves unwritten shows as "".
    EXPECT_EQ(j["params"][1]["display"], "");
    EXPECT_EQ(j["params"][1]["label"], "");
    EXPECT_EQ(j["params"][1]["value"], 0.25);
    // Names longer than the interface limit are shown whole, not cut or overrun.
    EXPECT_EQ(j["params"][2]["name"], "NaN Maker Long Name");

    ASSERT_EQ(j["outputs"].size(), 6u);
    EXPECT_EQ(j["outputs"][0], json::parse(R"({"pin":0, "label":"Fix Main", "stereo":true, "active":true})"));
    EXPECT_EQ(j["outputs"][1]["label"], "Fix Main");
    EXPECT_EQ(j["outputs"][4], json::parse(R"({"pin":4, "label":"Fix Aux 3", "stereo":false, "active":true})"));
    EXPECT_EQ(j["outputs"][5]["active"], false);

    const json& canDo = j["canDo"];
    for (const char* what : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
                             "receiveVstMidiEvent", "receiveVstTimeInfo", "offline", "plugAsChannelInsert",
                             "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass", "1in1out", "1in2out",
                             "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out", "8in4out", "8in8out",
                             "midiProgramNames", "conformsToWindowRules", "bypass", "openFileSelector"}) {
        EXPECT_TRUE(canDo.contains(what)) << what;
    }
    EXPECT_EQ(canDo.size(), 28u);  // plus one string no plug-in knows
    EXPECT_EQ(canDo["receiveVstEvents"], 1);
    EXPECT_EQ(canDo["receiveVstTimeInfo"], 1);
    EXPECT_EQ(canDo["bypass"], -1);
    EXPECT_EQ(canDo["sendVstEvents"], 0);

    // Inspecting opens and closes the plug-in and never starts it.
    auto lines = readLines(log);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "version 2400");
    EXPECT_EQ(lines[1], "open");
    EXPECT_EQ(lines.back(), "close");
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("mains", 0), std::string::npos) << line;
        EXPECT_EQ(line.rfind("process", 0), std::string::npos) << line;
    }
}

TEST(HostInfo, TextShowsTheSameFacts) {
    RunResult r = runHost({"info", fixture()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* fact : {"Fixture Synth", "Host Test Vendor", "FxHt", "2 (synth)", "canReplacing programChunks isSynth",
                             "Bright", "\"NaN Maker Long Name\"", "\"Fix Aux 3\"", "bypass"}) {
        EXPECT_NE(r.out.find(fact), std::string::npos) << fact << "\n" << r.out;
    }
}

TEST(HostInfo, EntryPointNamedMainAndNumericUniqueId) {
    RunResult r = runHost({"info", "--json", fixture("main_only")});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    // 0x01020304 has unprintable bytes, so it is shown as a number.
    EXPECT_EQ(j["uniqueId"], 0x01020304);
    EXPECT_EQ(j["name"], "Fixture Synth");
}

TEST(HostInfo, BundleFolderLoadsTheModuleInside) {
    TempDir dir;
    fs::create_directory(dir.path() / "Fixture.vst");
    const fs::path inside = dir.path() / "Fixture.vst" / ("Fixture" + std::string(VORLATEK_MODULE_SUFFIX));
    std::error_code noLinks;  // where links cannot be made (Windows without the right), a copy
    fs::create_symlink(fixture(), inside, noLinks);
    if (noLinks) fs::copy_file(fixture(), inside);
    RunResult r = runHost({"info", "--json", dir.file("Fixture.vst")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)["uniqueId"], "FxHt");
}
