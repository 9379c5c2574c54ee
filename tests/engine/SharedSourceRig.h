#pragma once
// Drives one voice the way the engine does: the shared noise and metal sources step once
// per frame before the voice, the level is smoothed, then the voice renders one sample.
// Also follows the engine's activity check, so tests can see when a note would end.

#include "engine/DriveStage.h"
#include "engine/DspMath.h"
#include "engine/MetalSource.h"
#include "engine/NoiseSource.h"
#include "engine/SharedSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace vorlatek::test {

inline constexpr float kPlainVelocity = 48.0f / 127.0f;

struct SharedSourceRig {
    explicit SharedSourceRig(float rate) : sampleRate(rate) {
        noise.setSampleRate(rate);
        metal.setSampleRate(rate);
    }

    const SharedSignals& step() {
        noise.step();
        metal.step();
        signals.noiseA = noise.noiseA;
        signals.noiseB = noise.noiseB;
        signals.metalBand1 = metal.band1Output;
        signals.metalBand2 = metal.band2Output;
        signals.metalJunction = metalJunction(metal.band1Output);
        signals.cymbalLowJunction = cymbalLowJunction(metal.band2Output);
        return signals;
    }

    template <class V>
    double frame(V& voice) {
        const SharedSignals& in = step();
        dsp::smooth(voice.levelSmoothed, voice.level, voice.levelRate);
        return voice.render(in);
    }

    template <class V>
    std::vector<double> render(V& voice, int frames) {
        std::vector<double> out(frames);
        for (double& s : out) s = frame(voice);
        return out;
    }

    // Frames until the engine's activity check would switch the voice off (the trigger
    // having set peak to 0.01), or `limit` if it is still sounding then.
    template <class V>
    int framesUntilSilent(V& voice, int limit) {
        for (int n = 0; n < limit; ++n) {
            const double magnitude = std::fabs(frame(voice));
            voice.peak = voice.peak - (voice.peak * voice.peakDecay + dsp::kEpsilon);
            if (magnitude > voice.peak) voice.peak = magnitude;
            if (voice.peak < 0.00003) return n + 1;
        }
        return limit;
    }

    // Frames until `done(voice)` first holds, or -1 within `limit`.
    template <class V, class Done>
    int framesUntil(V& voice, int limit, Done done) {
        for (int n = 0; n < limit; ++n) {
            frame(voice);
            if (done(voice)) return n + 1;
        }
        return -1;
    }

    float sampleRate;
    NoiseSource noise;
    MetalSource metal;
    SharedSignals signals;
};

// Sets up a voice at `rate` with the level at 1 and triggers it at the plain velocity.
template <class V>
void startNote(V& voice, float rate, float velocity = kPlainVelocity) {
    voice.setSampleRate(rate);
    voice.trigger(velocity);
}

// Seconds from the trigger until `done(voice)` first holds, for a voice set up by
// `setup` at `rate`; a negative value if it never does within `limitSeconds`.
template <class V, class Setup, class Done>
double secondsUntil(float rate, Setup setup, Done done, double limitSeconds = 10.0) {
    V voice;
    voice.setSampleRate(rate);
    setup(voice);
    voice.trigger(kPlainVelocity);
    SharedSourceRig rig(rate);
    const int frames = rig.framesUntil(voice, static_cast<int>(limitSeconds * rate), done);
    return frames < 0 ? -1.0 : frames / static_cast<double>(rate);
}

// The golden render of a voice: 4000 samples after a plain trigger at 44.1 kHz.
template <class V, class Setup>
std::vector<double> goldenHit(Setup setup) {
    V voice;
    voice.setSampleRate(44100.0f);
    setup(voice);
    voice.trigger(kPlainVelocity);
    SharedSourceRig rig(44100.0f);
    return rig.render(voice, 4000);
}

template <class V>
using ParameterSetter = void (V::*)(double);

// Every parameter value from −10 to 10, alone (the others at 0.5) and all together, at
// rates from 8 kHz to 384 kHz: the output stays finite and below `bound` through a note
// and a retrigger.
template <class V>
void expectBoundedForAnySetting(std::initializer_list<ParameterSetter<V>> setters, double bound = 50.0) {
    const int count = static_cast<int>(setters.size());
    for (float rate : {8000.0f, 22050.0f, 44100.0f, 96000.0f, 384000.0f}) {
        for (double x : {-10.0, -0.5, 0.0, 1.0, 10.0}) {
            for (int alone = -1; alone < count; ++alone) {
                V voice;
                voice.setSampleRate(rate);
                int i = 0;
                for (ParameterSetter<V> set : setters) {
                    (voice.*set)(alone < 0 || alone == i ? x : 0.5);
                    ++i;
                }
                SharedSourceRig rig(rate);
                for (int n = 0; n < 12000; ++n) {
                    if (n % 6000 == 0) voice.trigger(1.0f);
                    const double out = rig.frame(voice);
                    if (!(std::fabs(out) < bound)) {
                        ADD_FAILURE() << "output " << out << " at sample " << n << ", rate " << rate << ", value "
                                      << x << (alone < 0 ? " for all parameters" : " for one parameter");
                        return;
                    }
                }
            }
        }
    }
}

}  // namespace vorlatek::test
