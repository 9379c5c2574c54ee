#pragma once
// The trigger-output pulse: two band-limited impulses of opposite sign, 0.018 of a 1.1 Hz
// period apart, integrated with a leak and centred by a slow follower. Heard on a trigger
// output as a sharp positive edge followed 16 ms later by a negative one, for driving
// external gear from one instrument's steps.
//
// The impulse pair (the blit) depends only on the steps since start() and the rate, so it
// is worked out once per rate into a table for the first kTabulatedSteps steps of a pulse
// (the whole pulse at rates up to 96 kHz) and only computed sample by sample beyond that.

#include "engine/DspMath.h"

#include <array>

namespace vorlatek {

class TriggerPulse {
public:
    static constexpr int kTabulatedSteps = 43700;

    void setSampleRate(double sampleRate);
    void start() {
        position = -60.1;
        stepsSinceStart_ = 0;
        settled_ = false;
    }
    double step();
    // `frames` steps; their outputs go to out[], as floats.
    void render(float* out, int frames);
    // Whether steps still change the output: from start() until the follower has come to rest.
    bool moving() const { return !settled_; }
    // Whether every step of a pulse takes its blit from the table (true up to 96 kHz).
    bool tableCoversPulse() const { return tableCoversPulse_; }
    class TableStepper;

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
    // A step's arithmetic: while the pulse runs, the integrator takes the step's blit and the
    // position moves on; then, running or not, the follower moves toward the integrator and
    // the output is what lies between them.
    [[gnu::always_inline]] static void runningStep(double blitNow, double& integral, double& at) {
        integral = (blitNow + integral) * 0.997;
        at = at + 1.0;
    }
    [[gnu::always_inline]] static double followingStep(double& follow, double integral, double rate) {
        follow = follow - ((follow - integral) * rate + dsp::kEpsilon);
        return (integral - follow) * 0.25;
    }

    // The blit at `position`: the impulse at b = position + 1 minus the one at
    // c = position + D, each a band-limited (Dirichlet) pulse of N harmonics.
    double blit(double at) const;

    std::array<double, kTabulatedSteps> blitTable_{};
    int tabulated_ = 0;                        // valid entries at this rate
    int stepsSinceStart_ = kTabulatedSteps;   // past the table until the first start()
    bool tableCoversPulse_ = false;
    bool settled_ = false;  // a step left the follower where it was, and no pulse runs
};

// The pulse's states in locals (registers, in a loop) for steps stepped one at a time beside
// other work, where the table covers the pulse: render()'s steps without its early end once
// the follower has settled (the steps after that give the same output again).
class TriggerPulse::TableStepper {
public:
    explicit TableStepper(const TriggerPulse& p)
        : table_(p.blitTable_.data()), rate_(0.001 * p.rateFactor), end_(0.5 * p.period), at_(p.position),
          blit_(p.blitValue), integral_(p.integrator), follow_(p.follower), before_(p.follower),
          steps_(p.stepsSinceStart_) {}

    [[gnu::always_inline]] float step() {
        if (end_ > at_) {
            blit_ = table_[steps_++];
            runningStep(blit_, integral_, at_);
        }
        before_ = follow_;
        output_ = followingStep(follow_, integral_, rate_);
        return static_cast<float>(output_);
    }

    // After at least one step.
    void storeTo(TriggerPulse& p) const {
        p.position = at_;
        p.blitValue = blit_;
        p.integrator = integral_;
        p.follower = follow_;
        p.output = output_;
        p.stepsSinceStart_ = steps_;
        p.settled_ = !(end_ > at_) && dsp::sameBits(follow_, before_);
    }

private:
    const double* table_;
    double rate_, end_, at_, blit_, integral_, follow_, before_, output_ = 0.0;
    int steps_;
};

}  // namespace vorlatek
