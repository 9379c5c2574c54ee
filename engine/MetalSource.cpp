#include "engine/MetalSource.h"

#include <algorithm>
#include <cmath>


namespace vorlatek {

namespace {

constexpr double kPeriodSeconds[MetalSource::kOscillators] = {
    0.0018399288200720838, 0.0012399256247268688, 0.001960016038552521,
    0.003419972663353988,  0.0027647222439515337, 0.00475963826749167,
};
constexpr double kDuty[MetalSource::kOscillators] = {0.4375, 0.4354, 0.4336, 0.4289, 0.4339, 0.4197};

}  // namespace

void MetalSource::setSampleRate(double rate) {
    sampleRate = rate;
    for (int k = 0; k < kOscillators; ++k) {
        Oscillator& o = oscillators[k];
        o.period = rate * kPeriodSeconds[k];
        o.threshold = std::trunc(o.period * kDuty[k]);
        o.phase = 0.0;
        o.square = 0.5;
    }
    tuneBands(7117.0, 3553.0);
    band1.reset();
    band2.reset();
    band1Output = 0.0;
    band2Output = 0.0;
    sum = 0.0;
}

void MetalSource::setFilterFrequency(double x) { tuneBands(7117.0 * (x + 0.5), 3553.0 * (x + 0.5)); }

// A band centre at or past half the sample rate (or below 0) turns the band-pass unstable,
// so centres are kept between 1 Hz and 0.49·sr. At 44.1 kHz and above the knob never
// reaches that limit; at low rates the upper band stays just under the top of the band.
void MetalSource::tuneBands(double centre1, double centre2) {
    const double highest = 0.49 * sampleRate;
    centre1 = std::clamp(centre1, 1.0, highest);
    centre2 = std::clamp(centre2, 1.0, highest);
    const double w1 = dsp::Biquad::omega(centre1, sampleRate);
    band1.setBandPass(std::cos(w1), 0.125 * std::sin(w1));
    const double w2 = dsp::Biquad::omega(centre2, sampleRate);
    band2.setBandPass(std::cos(w2), 0.2 * std::sin(w2));
}

void MetalSource::step() {
    SharedSignals signals;
    render(&signals, 1);
}

void MetalSource::render(SharedSignals* out, int frames) {
    Stepper stepper(*this);
    for (int f = 0; f < frames; ++f) stepper.step(out[f]);
    stepper.storeTo(*this);
}

}  // namespace vorlatek
