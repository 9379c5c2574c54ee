#pragma once
// The band a listener hears and a 44.1 kHz render holds: an eighth-order Butterworth
// low-pass at 20 kHz, four biquads. At 44.1 kHz and below it passes everything as it is.
// For measuring levels (the voices' rate compensation, the level tests), not for the sound.

#include "engine/Biquad.h"

#include <array>
#include <cmath>

namespace vorlatek::dsp {

class AudibleBand {
public:
    explicit AudibleBand(double sampleRate) : active_(sampleRate > 44100.0) {
        constexpr double kQ[] = {0.5097955791041592, 0.6013448869350453, 0.9000369237270283, 2.5629154477415055};
        const double w = Biquad::omega(20000.0, sampleRate);
        for (int k = 0; k < 4; ++k) stages_[k].setLowPass(std::cos(w), std::sin(w) / (2.0 * kQ[k]));
    }
    double process(double x) {
        if (!active_) return x;
        for (Biquad& stage : stages_) x = stage.process(x);
        return x;
    }

private:
    bool active_;
    std::array<Biquad, 4> stages_{};
};

}  // namespace vorlatek::dsp
