#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek::dsp {

double onePoleCoefficient(double frequency, double sampleRate) {
    return std::exp(-kTwoPi * frequency / sampleRate);
}

}  // namespace vorlatek::dsp
