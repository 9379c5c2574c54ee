#include "engine/NoiseSource.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek {

void NoiseSource::setSampleRate(double sampleRate) {
    s0 = 0x67452301u;
    s1 = 0xefcdab89u;
    lowState = 0.0;
    lowA = dsp::onePoleCoefficient(2000.0, sampleRate);
    const double w = dsp::Biquad::omega(170.0, sampleRate);
    lowPass.setLowPass(std::cos(w), 0.4424778761061947 * std::sin(w));
    lowPass.reset();
    white = 0.0;
    noiseA = 0.0;
    noiseB = 0.0;
}

void NoiseSource::render(SharedSignals* out, int frames) {
    // Stepped on a copy, whose fields the compiler keeps in registers through the loop.
    NoiseSource noise = *this;
    for (int f = 0; f < frames; ++f) {
        noise.step();
        out[f].noiseA = noise.noiseA;
        out[f].noiseB = noise.noiseB;
    }
    *this = noise;
}

}  // namespace vorlatek
