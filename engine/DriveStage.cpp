#include "engine/DriveStage.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek {

namespace {

// Below this |u|, eᵘ − 1 has fewer correct digits than u/2 itself: the limit is closer.
constexpr double kJunctionGuard = 1.4901161193847656e-8;  // 2^-26 = √(double ε)

}  // namespace

DriveStage::DriveStage(const Shape& s) : shape(s) { setSampleRate(44100.0); }

void DriveStage::setSampleRate(double rate) {
    sampleRate = rate;
    const double rateFactor = 44100.0 / rate;
    retain = 1.0 - shape.leak * rateFactor;
    scale = 192000.0 / rate;
    accumulator = 0.0;
    value = 0.0;
    highPass.reset();
}

void DriveStage::setHighPass(double corner, double q) {
    const double w = dsp::Biquad::omega(dsp::limitCorner(corner, sampleRate), sampleRate);
    highPass.setHighPass(std::cos(w), std::sin(w) / (2.0 * q));
}

double DriveStage::junction(double u) {
    if (std::fabs(u) < kJunctionGuard) return 0.0;
    return u / (std::exp(u) - 1.0) - 1.0;
}

double DriveStage::driveJunction(double j, double envelope) {
    const double u = shape.gain * j * envelope;
    accumulator = shape.weight * u + (0.01 * envelope * envelope * envelope + 0.05) * envelope +
                  retain * accumulator;
    if (accumulator < 0.0) accumulator = shape.negativeFactor * accumulator;
    value = scale * accumulator * shape.outputScale;
    return value;
}

}  // namespace vorlatek
