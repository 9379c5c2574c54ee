#pragma once
// The scenes the engine benchmarks render, shared by the timing benchmark (EngineBench) and
// the instruction-count profile (EngineProfile) so that both measure the same work:
//   Silence   - no voice sounding: the shared sources, smoothing and activity checks only;
//   BassSnare - bass and snare drum retriggered every 100 ms, as a busy pattern would;
//   AllVoices - all seventeen voices retriggered together every 100 ms, every knob at its
//               middle, so that every voice sounds in every frame: the worst case.
// A scene is rendered in 100 ms slices, each in runs of the engine's longest run, as the
// plug-in drives it between two events.

#include "engine/DrumEngine.h"

#include <string_view>

namespace vorlatek::bench {

enum class Scene { Silence, BassSnare, AllVoices };

inline const char* sceneName(Scene scene) {
    switch (scene) {
        case Scene::Silence: return "silence";
        case Scene::BassSnare: return "bass-snare";
        case Scene::AllVoices: return "all-voices";
    }
    return "";
}

// The scene called `name`; false if there is none.
inline bool sceneFromName(std::string_view name, Scene& scene) {
    for (Scene s : {Scene::Silence, Scene::BassSnare, Scene::AllVoices}) {
        if (name == sceneName(s)) {
            scene = s;
            return true;
        }
    }
    return false;
}

inline int framesPerSlice(float rate) { return static_cast<int>(rate / 10.0f); }

inline void prepareScene(DrumEngine& engine, Scene scene, float rate) {
    engine.setSampleRate(rate);
    if (scene == Scene::AllVoices) {
        // Every sound knob of every instrument (levels stay at full).
        for (int index = param::kAccentLevel + 1; index <= param::kHiHatFiltersFrequency; ++index) {
            bool isLevel = false;
            for (int level : param::kLevel) isLevel = isLevel || level == index;
            if (!isLevel) engine.setParameter(index, 0.5f);
        }
        return;
    }
    engine.setParameter(param::kBassDrumDecay, 0.5f);
    engine.setParameter(param::kSnareDrumSnappy, 0.7f);
}

// One 100 ms slice: the scene's triggers on its first frame, then every frame. Returns the
// sum of the master output, so that the work cannot be optimised away.
inline double renderSlice(DrumEngine& engine, Scene scene, int frames) {
    if (scene == Scene::BassSnare) {
        engine.triggerInstrument(kBassDrum, false, false);
        engine.triggerInstrument(kSnareDrum, false, false);
    } else if (scene == Scene::AllVoices) {
        for (int i = 0; i < kInstrumentCount; ++i) engine.triggerInstrument(i, false, false);
    }
    double sum = 0.0;
    for (int done = 0; done < frames;) {
        const EngineRun& run = engine.renderRun(frames - done);
        if (run.masterSounding) sum += run.master[0];
        done += run.frames;
    }
    return sum;
}

}  // namespace vorlatek::bench
