#include "engine/Biquad.h"

namespace vorlatek::dsp {

void Biquad::setHighPass(double cosOmega, double alpha) {
    const double n = 1.0 / (1.0 + alpha);
    b0 = n * (1.0 + cosOmega) / 2.0;
    b2 = b0;
    b1 = -n * (1.0 + cosOmega);
    a1 = -2.0 * n * cosOmega;
    a2 = n * (1.0 - alpha);
}

void Biquad::setLowPass(double cosOmega, double alpha) {
    const double n = 1.0 / (1.0 + alpha);
    b0 = n * (1.0 - cosOmega) / 2.0;
    b2 = b0;
    b1 = n * (1.0 - cosOmega);
    a1 = -2.0 * n * cosOmega;
    a2 = n * (1.0 - alpha);
}

void Biquad::setBandPass(double cosOmega, double alpha) {
    const double n = 1.0 / (1.0 + alpha);
    b0 = n * alpha;
    b1 = 0.0;
    b2 = -n * alpha;
    a1 = -2.0 * n * cosOmega;
    a2 = n * (1.0 - alpha);
}

}  // namespace vorlatek::dsp
