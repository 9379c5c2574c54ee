#pragma once
// The trigger-output pulse: two band-limited impulses of opposite sign, 0.018 of a 1.1 Hz
// period apart, integrated with a leak and centred by a slow follower. Heard on a trigger
// output as a sharp positive edge followed 16 ms later by a negative one, for driving
// external gear from one instrument's steps.

namespace vorlatek {

class TriggerPulse {
public:
    void setSampleRate(double sampleRate);
    void start() { position = -60.1; }
    double step();

    double period = 0.0;      // P, samples
    double harmonics = 0.0;   // N, odd
    double offset = 0.0;      // D, whole samples
    double position = 0.0;
    double blitValue = 0.0;
    double integrator = 0.0;
    double follower = 0.0;
    double output = 0.0;
    double rateFactor = 1.0;  // R
};

}  // namespace vorlatek
