#pragma once
// Renders factory content through the plug-in object as a host would hear it: a factory kit
// chosen as the program, the master volume at its default, the master or the instrument
// outputs recorded at 44.1 kHz.

#include "engine/DrumEngine.h"
#include "engine/Instrument.h"
#include "engine/Voice.h"
#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"

#include "PluginTestSupport.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vorlatek::test {

inline constexpr int kRenderRate = 44100;

class FactoryRender {
public:
    using Recording = std::vector<std::vector<float>>;  // one signal per recorded pin

    FactoryRender() : plugin_(std::make_unique<DrumPlugin>(nullptr, std::string())) {  // no user settings
        plugin_->setSampleRate(static_cast<float>(kRenderRate));
    }

    DrumPlugin& plugin() { return *plugin_; }
    std::string kitName(int program) const { return plugin_->presets()->slot(program).name; }

    int programOf(const std::string& kit) const {
        for (int p = 0; p < DrumPlugin::kNumPrograms; ++p)
            if (kit == kitName(p)) return p;
        return -1;
    }
    int extendedPatternOf(const std::string& name) const {
        const auto store = plugin_->patternStore();
        for (int i = 0; i < kExtendedPatternCount; ++i)
            if (name == store->extendedPatterns[i].name) return i;
        return -1;
    }
    int simplePatternOf(const std::string& name) const {
        const auto store = plugin_->patternStore();
        for (int i = 0; i < kSimplePatternCount; ++i)
            if (name == store->simplePatterns[i].name) return i;
        return -1;
    }

    // Stops the transport, chooses a kit and waits, half a second at least and two at most,
    // until nothing rings any more. The wait also lets the smoothed levels come to rest on
    // the kit's knobs, so what follows is measured at the kit's steady levels and not during
    // a glide from earlier values.
    void chooseKit(int program) {
        plugin_->selectProgram(program);
        TimeSnapshot stopped = playingTransport(120.0);
        stopped.playing = false;
        const int atLeast = kRenderRate / 2;
        const int atMost = 2 * kRenderRate;
        for (int frames = 0; frames < atMost && (frames < atLeast || sounding()); frames += kBlock)
            run(kBlock, stopped, {});
    }

    // Every instrument struck once, all at the same moment, with both accents or with none;
    // each recorded on its own output for `seconds`. The closed hi-hat goes first, so that it
    // does not choke the open one.
    Recording hits(bool accented, double seconds) {
        DrumEngine& engine = plugin_->engine();
        engine.triggerInstrument(kClosedHiHat, accented, accented);
        for (int i = 0; i < kClosedHiHat; ++i) engine.triggerInstrument(i, accented, accented);
        std::vector<int> pins;
        const OutputConfig& config = plugin_->outputConfig();
        for (int i = 0; i < kInstrumentCount; ++i)
            pins.push_back(config.masterChannels() + plugin_->outAssign(i) * config.slotWidth());
        TimeSnapshot stopped = playingTransport(120.0);
        stopped.playing = false;
        return run(static_cast<int>(seconds * kRenderRate), stopped, pins);
    }

    // Extended pattern `pattern` in variation `variation` (0 A, 1 B), at the variation's own
    // tempo, for `measures` measures; an intro/fill-in is repeated as well.
    std::vector<float> extended(int pattern, int variation, int measures) {
        DrumPlugin& p = *plugin_;
        p.setIntSeqOn(true);
        p.setHostMode(false);
        p.setSyncInternal(1);
        PlaybackSelection& selection = p.playbackSelection();
        selection.setAutoFillIn(0);
        selection.selectPlayPattern(pattern);
        const bool fillIn = pattern >= kBasicPatternCount;
        if (fillIn)
            selection.setIntroFillInVariation(variation);
        else
            selection.setBasicVariation(variation);
        selection.setStartPatternType(fillIn ? PlaybackSelection::kStartIntro : PlaybackSelection::kStartBasic);
        const PatternVariation v = *p.patternStore()->variation(pattern, variation);
        const double beats = measures * (beatsOf(v.part1) + beatsOf(v.part2));
        return playing(beats * 60.0 / v.bpm, fillIn);
    }

    // Simple pattern `pattern` held in host mode at its own tempo, `loops` times over.
    std::vector<float> simple(int pattern, int loops) {
        DrumPlugin& p = *plugin_;
        p.setIntSeqOn(true);
        p.setHostMode(true);
        p.setSyncInternal(1);
        const StepPattern s = p.patternStore()->simplePatterns[pattern];
        constexpr std::uint32_t kNoteOn = 0x90, kFirstPatternNote = 12, kVelocity = 100;
        p.midiEvent(kNoteOn | ((kFirstPatternNote + static_cast<std::uint32_t>(pattern)) << 8) | (kVelocity << 16), 0);
        return playing(loops * beatsOf(s) * 60.0 / s.bpm, false);
    }

    // What the instance plays as it stands when a host starts its transport at `tempo`.
    std::vector<float> onTransport(double tempo, int bars) {
        TimeSnapshot transport = playingTransport(tempo);
        return run(static_cast<int>(bars * 4 * 60.0 / tempo * kRenderRate), transport, {0})[0];
    }

private:
    static constexpr int kBlock = 512;

    static double beatsOf(const StepPattern& part) { return static_cast<double>(part.length) / part.stepsPerBeat; }

    // Whether any voice still rings above -60 dB: what is left below that cannot move a peak
    // or a loudness reading of what comes next.
    bool sounding() const {
        constexpr double kSilence = 0.001;
        const auto& voices = plugin_->engine().voices();
        return std::any_of(voices.begin(), voices.end(), [](const Voice* v) { return v->active && v->peak > kSilence; });
    }

    std::vector<float> playing(double seconds, bool repeatFillIn) {
        TimeSnapshot transport = playingTransport(120.0);
        // A fill-in played as the start pattern is followed by the basic pattern unless
        // another fill-in is asked for before its measure ends.
        return run(static_cast<int>(seconds * kRenderRate), transport, {0}, repeatFillIn)[0];
    }

    Recording run(int frames, TimeSnapshot transport, const std::vector<int>& pins, bool repeatFillIn = false) {
        PinBuffers buffers(plugin_->numOutputs(), kBlock);
        Recording recording(pins.size());
        for (auto& r : recording) r.reserve(static_cast<std::size_t>(frames));
        const double start = transport.ppqPos;
        for (int done = 0; done < frames; done += kBlock) {
            const int n = std::min(kBlock, frames - done);
            transport.ppqPos = start + done * transport.tempo / 60.0 / kRenderRate;
            if (repeatFillIn) plugin_->playbackSelection().requestFillIn();
            plugin_->process(buffers.pointers(), n, &transport, true);
            for (std::size_t k = 0; k < pins.size(); ++k) {
                const float* pin = buffers.pointers()[pins[k]];
                recording[k].insert(recording[k].end(), pin, pin + n);
            }
        }
        return recording;
    }

    std::unique_ptr<DrumPlugin> plugin_;
};

}  // namespace vorlatek::test
