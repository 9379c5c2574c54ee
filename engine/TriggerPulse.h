#pragma once
// The trigger-output pulse: two band-limited impulses of opposite sign, 0.018 of a 1.1 Hz
// period apart, integrated with a leak and centred by a slow follower. Heard on a trigger
// output as a sharp positive edge followed 16 ms later by a negative one, for driving
// external gear from one instrument's steps.
//
// The impulse pair (the blit) depends only on the steps since start() and the rate, so it
// is worked out once per rate into a table for the first kTabulatedSteps steps of a pulse
// (the whole pulse at rates up to 96 kHz) and only computed sample by sample beyond that.

#include <array>

namespace vorlatek {

class TriggerPulse {
public:
    static constexpr int kTabulatedSteps = 43700;

    void setSampleRate(double sampleRate);
    void start() {
        position = -60.1;
        stepsSinceStart_ = 0;
    }
    double step();
    // `frames` steps; their outputs go to out[], as floats.
    void render(float* out, int frames);

    double period = 0.0;      // P, samples
    double harmonics = 0.0;   // N, odd
    double offset = 0.0;      // D, whole samples
    double position = 0.0;    // advanced by step(), restarted by start()
    double blitValue = 0.0;
    double integrator = 0.0;
    double follower = 0.0;
    double output = 0.0;
    double rateFactor = 1.0;  // R

private:
    // The blit at `position`: the impulse at b = position + 1 minus the one at
    // c = position + D, each a band-limited (Dirichlet) pulse of N harmonics.
    double blit(double at) const;

    std::array<double, kTabulatedSteps> blitTable_{};
    int tabulated_ = 0;                        // valid entries at this rate
    int stepsSinceStart_ = kTabulatedSteps;   // past the table until the first start()
};

}  // namespace vorlatek
