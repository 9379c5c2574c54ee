#include "engine/OutputRouter.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlatek {
namespace {

// Host-style output buffers: `count` pins of `frames` samples, filled with `fill`.
struct Pins {
    Pins(int count, int frames, float fill) : data(count, std::vector<float>(frames, fill)) {
        for (auto& pin : data) pointers.push_back(pin.data());
    }
    float at(int pin, int frame = 0) const { return data[pin][frame]; }
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

// A run whose every row sounds, with values that tell the rows and frames apart: master
// 1000 + f, instrument i is i + 1 + f/8, trigger 500 + f.
const EngineRun& distinctRun(int frames = 1) {
    static EngineRun run;
    run.frames = frames;
    run.masterSounding = true;
    run.sounding.fill(true);
    for (int f = 0; f < frames; ++f) {
        run.master[f] = 1000.0f + static_cast<float>(f);
        for (int i = 0; i < kInstrumentCount; ++i) run.instrument[i][f] = static_cast<float>(i + 1) + f / 8.0f;
        run.trigger[f] = 500.0f + static_cast<float>(f);
    }
    return run;
}

std::vector<OutputConfig> everyConfig() {
    std::vector<OutputConfig> configs;
    for (int bits = 0; bits < 16; ++bits)
        configs.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
    return configs;
}

TEST(OutputRouter, EveryConfigurationPutsEachSignalOnItsPins) {
    for (const OutputConfig& config : everyConfig()) {
        SCOPED_TRACE(testing::Message() << "master " << config.masterOn << " masterStereo " << config.masterStereo
                                        << " instrumentsStereo " << config.instrumentsStereo << " trigger "
                                        << config.triggerOn);
        OutputRouter router;
        router.setConfig(config);
        const int masterChannels = config.masterOn ? (config.masterStereo ? 2 : 1) : 0;
        const int width = config.instrumentsStereo ? 2 : 1;
        const int count = masterChannels + (config.triggerOn ? 18 : 17) * width;
        ASSERT_EQ(router.outputCount(), count);

        // A run of 37 frames (sixteen at a time where the processor has AVX-512, and the rest
        // one by one) at offset 2 of 40.
        constexpr int kFrames = 37;
        Pins pins(count, kFrames + 3, 0.0f);
        router.routeRun(distinctRun(kFrames), pins.pointers.data(), 2, true);
        for (int f = 0; f < kFrames; ++f) {
            for (int k = 0; k < masterChannels; ++k) EXPECT_EQ(pins.at(k, 2 + f), 1000.0f + f);
            for (int i = 0; i < kInstrumentCount; ++i)
                for (int c = 0; c < width; ++c)
                    EXPECT_EQ(pins.at(masterChannels + width * i + c, 2 + f), i + 1.0f + f / 8.0f) << i;
            if (config.triggerOn) {
                for (int c = 0; c < width; ++c) EXPECT_EQ(pins.at(masterChannels + 17 * width + c, 2 + f), 500.0f + f);
            }
        }
        // Only the frames of the run are touched.
        for (int k = 0; k < count; ++k) EXPECT_EQ(pins.at(k, 0) + pins.at(k, 1) + pins.at(k, kFrames + 2), 0.0f);
    }
}

TEST(OutputRouter, TriggerPinPositions) {
    OutputRouter router;
    router.setConfig({true, false, false, true});  // mono master, mono slots
    Pins mono(19, 1, 0.0f);
    router.routeRun(distinctRun(), mono.pointers.data(), 0, true);
    EXPECT_EQ(mono.at(1 + 17), 500.0f);

    router.setConfig({true, true, true, true});  // stereo everything
    Pins stereo(38, 1, 0.0f);
    router.routeRun(distinctRun(), stereo.pointers.data(), 0, true);
    EXPECT_EQ(stereo.at(2 + 34), 500.0f);
    EXPECT_EQ(stereo.at(2 + 35), 500.0f);
}

TEST(OutputRouter, WithoutMasterTheFirstSlotIsPinZero) {
    OutputRouter router;
    router.setConfig({false, true, false, false});
    Pins pins(17, 1, 0.0f);
    router.routeRun(distinctRun(), pins.pointers.data(), 0, true);
    EXPECT_EQ(pins.at(0), 1.0f);
    EXPECT_EQ(pins.at(16), 17.0f);
}

TEST(OutputRouter, InstrumentsSharingASlotAreSummed) {
    OutputRouter router;
    router.setConfig({true, true, true, false});
    router.setAssign(kSnareDrum, 0);  // BD and SD both on out 1
    Pins pins(36, 1, 0.0f);
    router.routeRun(distinctRun(), pins.pointers.data(), 0, true);
    EXPECT_EQ(pins.at(2), 3.0f);
    EXPECT_EQ(pins.at(3), 3.0f);
    EXPECT_EQ(pins.at(4), 0.0f);  // slot 1 stays silent
    EXPECT_EQ(pins.at(5), 0.0f);
}

TEST(OutputRouter, ReplacingZeroesAndAccumulatingAdds) {
    for (const OutputConfig& config : everyConfig()) {
        OutputRouter router;
        router.setConfig(config);
        for (int i = 0; i < kInstrumentCount; ++i) router.setAssign(i, (i * 7) % 5);
        const int count = router.outputCount();
        Pins replaced(count, 1, 42.0f), added(count, 1, 42.0f);
        router.routeRun(distinctRun(), replaced.pointers.data(), 0, true);
        router.routeRun(distinctRun(), added.pointers.data(), 0, false);
        double total = 0.0;
        for (int k = 0; k < count; ++k) {
            EXPECT_EQ(added.at(k), replaced.at(k) + 42.0f) << k;
            total += replaced.at(k);
        }
        // Nothing is lost or doubled: each signal lands once per channel of its slot.
        const int width = config.instrumentsStereo ? 2 : 1;
        double expected = config.masterOn ? (config.masterStereo ? 2000.0 : 1000.0) : 0.0;
        expected += width * (17.0 * 18.0 / 2.0) + (config.triggerOn ? width * 500.0 : 0.0);
        EXPECT_EQ(total, expected);
    }
}

// A host that hands every output the same buffer gets the last slot's signal there, whole:
// the pins of a slot are written in order, the later from the earlier.
TEST(OutputRouter, PinsSharingOneBufferHoldTheLastSlot) {
    OutputRouter router;
    std::vector<float> shared(40, 7.0f);
    std::vector<float*> pointers(static_cast<std::size_t>(router.outputCount()), shared.data());
    router.routeRun(distinctRun(40), pointers.data(), 0, true);
    for (int f = 0; f < 40; ++f) EXPECT_EQ(shared[f], 17.0f + f / 8.0f) << f;
}

// Rows the run marks silent add nothing; a pin with nothing to add is cleared when replacing
// and left as it is when accumulating: with one row sounding, and with none (every pin, the
// trigger's too when it is on).
TEST(OutputRouter, SilentRowsAddNothing) {
    for (bool anySounding : {true, false}) {
        for (bool trigger : {false, true}) {
            OutputRouter router;
            OutputConfig config = router.config();
            config.triggerOn = trigger;
            router.setConfig(config);
            router.setAssign(kSnareDrum, kBassDrum);
            EngineRun run = distinctRun(2);
            run.masterSounding = false;
            run.sounding.fill(false);
            run.sounding[kSnareDrum] = anySounding;
            for (bool replacing : {true, false}) {
                Pins pins(router.outputCount(), 2, 7.0f);
                router.routeRun(run, pins.pointers.data(), 0, replacing);
                const float base = replacing ? 0.0f : 7.0f;
                for (int f = 0; f < 2; ++f) {
                    const float snare = anySounding ? run.instrument[kSnareDrum][f] : 0.0f;
                    EXPECT_EQ(pins.at(0, f), base);          // master
                    EXPECT_EQ(pins.at(2, f), base + snare);  // BD's slot holds SD
                    for (int pin = 4; pin < 36; ++pin) EXPECT_EQ(pins.at(pin, f), base) << pin;
                    if (trigger) {
                        EXPECT_EQ(pins.at(36, f), base + run.trigger[f]);
                    }
                }
            }
        }
    }
}

TEST(OutputRouter, AssignsOutsideTheSlotsAreLimited) {
    OutputRouter router;
    router.setAssign(kBassDrum, 99);
    router.setAssign(kSnareDrum, -4);
    router.setAssign(kInstrumentCount, 3);  // no such instrument: ignored
    router.setAssign(-1, 3);
    EXPECT_EQ(router.assign(kBassDrum), 16);
    EXPECT_EQ(router.assign(kSnareDrum), 0);
    for (int i = kLowConga; i < kInstrumentCount; ++i) EXPECT_EQ(router.assign(i), i);
}

}  // namespace
}  // namespace vorlatek
