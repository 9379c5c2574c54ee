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

void NoiseSource::step() {
    white = static_cast<double>(static_cast<std::int32_t>(s1)) * (1.0 / 4294967296.0);
    s0 = s0 ^ s1;
    s1 = s1 + s0;
    lowState = lowA * lowState + (1.0 - lowA) * white + dsp::kEpsilon;
    noiseA = 1.5 * lowState;
    noiseB = 4.0 * lowPass.process(noiseA);
}

}  // namespace vorlatek
