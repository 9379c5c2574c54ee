#include "engine/DriveStage.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek {

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

}  // namespace vorlatek
