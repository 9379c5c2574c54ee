#include "plugin/VstEffect.h"

#include "plugin/DrumPlugin.h"
#include "ModuleExports.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

using namespace vst;
using test::ScratchDirectory;

// A minimal host: answers the version request and records what the plug-in asks of it.
struct HostLog {
    std::vector<VstInt32> requests;
    int automations = 0;
    VstIntPtr version = 2400;
    VstTimeInfo time{};
    bool giveTime = true;
};
HostLog* gLog = nullptr;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (!gLog) return 0;
    gLog->requests.push_back(opcode);
    switch (opcode) {
        case audioMasterVersion: return gLog->version;
        case audioMasterAutomate: ++gLog->automations; return 0;
        case audioMasterGetTime: return gLog->giveTime ? reinterpret_cast<VstIntPtr>(&gLog->time) : 0;
        default: return 0;
    }
}

class VstEffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = &log;
        effect = VstEffect::create(hostCallback, dir.path());
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect) dispatch(effClose);
        gLog = nullptr;
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256];
        std::memset(buffer, 0, sizeof buffer);
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }

    ScratchDirectory dir;
    HostLog log;
    AEffect* effect = nullptr;
};

TEST_F(VstEffectTest, WhatTheHostSees) {
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, fourCharCode('V', 'R', 'L', 'T'));
    EXPECT_EQ(effect->numPrograms, 128);
    EXPECT_EQ(effect->numParams, 111);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 36);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->flags & (effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth),
              effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    EXPECT_EQ(effect->flags & effFlagsCanDoubleReplacing, 0);
    EXPECT_EQ(text(effGetEffectName), "Vorlatek");
    EXPECT_EQ(text(effGetProductString), "Vorlatek");
    EXPECT_EQ(text(effGetVendorString), "Velmora Group Audio Software");
    EXPECT_EQ(dispatch(effGetVendorVersion), 1050);
    EXPECT_EQ(dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(dispatch(effIdentify), fourCharCode('N', 'v', 'E', 'f'));
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(effGetNumMidiInputChannels), 1);
    EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 4321), 4321);
    EXPECT_EQ(dispatch(effCanBeAutomated, 110), 1);
    EXPECT_EQ(dispatch(9999), 0);
    // Creation asked for MIDI and reported no automation for the construction defaults.
    EXPECT_NE(std::find(log.requests.begin(), log.requests.end(), audioMasterWantMidi), log.requests.end());
    EXPECT_EQ(log.automations, 0);
}

TEST_F(VstEffectTest, CanDoAnswers) {
    auto canDo = [&](const char* s) { return dispatch(effCanDo, 0, 0, const_cast<char*>(s)); };
    EXPECT_EQ(canDo("bypass"), -1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), -1);
    EXPECT_EQ(canDo("receiveVstEvents"), 1);
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("midiProgramNames"), 1);
    EXPECT_EQ(canDo("offline"), 0);
    EXPECT_EQ(canDo("2in2out"), 0);
    EXPECT_EQ(canDo("Bypass"), 0);
    EXPECT_EQ(canDo("something else"), 0);
    EXPECT_EQ(dispatch(effCanDo), 0);
}

TEST_F(VstEffectTest, OutputPins) {
    VstPinProperties pin{};
    ASSERT_EQ(dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "VRLTK Master");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    ASSERT_EQ(dispatch(effGetOutputProperties, 2, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "VRLTK 1");
    ASSERT_EQ(dispatch(effGetOutputProperties, 3, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "VRLTK 1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    ASSERT_EQ(dispatch(effGetOutputProperties, 35, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "VRLTK 17");
    EXPECT_EQ(dispatch(effGetOutputProperties, 36, 0, &pin), 0);
    EXPECT_EQ(dispatch(effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(dispatch(effGetOutputProperties, INT_MIN, 0, &pin), 0);
    EXPECT_EQ(dispatch(effGetOutputProperties, 0), 0);
    EXPECT_EQ(dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(VstEffectTest, ParametersAndProgramsThroughTheDispatcher) {
    EXPECT_EQ(text(effGetParamName, 8), "SD Snapp");
    char display[16] = "unchanged";
    dispatch(effGetParamDisplay, 3, 0, display);
    EXPECT_STREQ(display, "unchanged");
    effect->setParameter(effect, 58, 0.25f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 58), 0.25f);
    EXPECT_EQ(log.automations, 0);  // the host's own change is not echoed back as automation
    effect->setParameter(effect, 5000, 0.25f);  // outside the table: stored nowhere
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 5000), 0.0f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, -3), 0.0f);

    dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(dispatch(effGetProgram), 5);
    dispatch(effSetProgram, 0, 128);
    EXPECT_EQ(dispatch(effGetProgram), 5);
    dispatch(effSetProgram, 0, static_cast<VstIntPtr>(-4294967291LL));  // 5 in its low 32 bits
    dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(effGetProgram), 5);
    EXPECT_EQ(log.automations, 0);  // a program change is no automation either
    char name[32] = "Renamed";
    dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(text(effGetProgramName), "Renamed");
    char indexed[32] = {};
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 5, 0, indexed), 1);
    EXPECT_STREQ(indexed, "Renamed");
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 128, 0, indexed), 0);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), static_cast<VstEffect*>(effect->object)->core().presets()->slot(5).value(0));

    // Null pointers where the interface allows them do no harm.
    dispatch(effSetProgramName);
    dispatch(effGetProgramName);
    dispatch(effGetParamName, 1);
    dispatch(effEditGetRect);
    dispatch(effGetSpeakerArrangement);
    dispatch(effProcessEvents);
    dispatch(effGetChunk);
    EXPECT_EQ(dispatch(effSetChunk), 0);  // nothing to read: refused, nothing changes
}

TEST_F(VstEffectTest, ChunksStayValidUntilTheNextCall) {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    const std::string bank(static_cast<const char*>(data), static_cast<std::size_t>(size));
    EXPECT_NE(bank.find("<VorlatekBank currentProgram="), std::string::npos);
    EXPECT_EQ(dispatch(effSetChunk, 0, size, data), 1);

    const VstIntPtr programSize = dispatch(effGetChunk, 1, 0, &data);
    ASSERT_GT(programSize, 0);
    EXPECT_NE(std::string(static_cast<const char*>(data), static_cast<std::size_t>(programSize)).find("<VorlatekPreset"),
              std::string::npos);
}

TEST_F(VstEffectTest, ProcessReplacesOrAccumulates) {
    std::vector<std::vector<float>> buffers(36, std::vector<float>(64, 0.5f));
    std::vector<float*> pins;
    for (auto& b : buffers) pins.push_back(b.data());
    effect->process(effect, nullptr, pins.data(), 64);
    for (const auto& b : buffers)
        for (float v : b) ASSERT_FLOAT_EQ(v, 0.5f);  // accumulating: nothing sounds, nothing changes
    effect->processReplacing(effect, nullptr, pins.data(), 64);
    for (const auto& b : buffers)
        for (float v : b) ASSERT_EQ(v, 0.0f);
    log.giveTime = false;  // a host without time information
    effect->processReplacing(effect, nullptr, pins.data(), 64);
    effect->processReplacing(effect, nullptr, nullptr, 64);
    effect->processReplacing(effect, nullptr, pins.data(), 0);
    effect->processDoubleReplacing(effect, nullptr, nullptr, 64);
}

TEST(VstEntry, RefusesAHostThatAnswersNoVersion) {
    HostLog log;
    log.version = 0;
    gLog = &log;
    ScratchDirectory dir;
    EXPECT_EQ(VstEffect::create(hostCallback, dir.path()), nullptr);
    EXPECT_EQ(VstEffect::create(nullptr, dir.path()), nullptr);
    gLog = nullptr;
}

// The module as a host loads it: exactly two exported symbols, the same function.
TEST(VstModule, ExportsOnlyTheEntryPoints) {
    const test::ModuleExports exports = test::moduleExports(VORLATEK_PLUGIN_PATH);
    ASSERT_EQ(exports.problem, "");
    EXPECT_EQ(exports.names, (std::vector<std::string>{"VSTPluginMain", "main"}));
    EXPECT_TRUE(exports.mainIsEntry);
}

}  // namespace
}  // namespace vorlatek
