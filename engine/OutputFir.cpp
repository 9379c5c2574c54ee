#include "engine/OutputFir.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek::dsp {

OutputFir::OutputFir() { reset(); }

void OutputFir::reset() {
    for (int k = 0; k < kTaps; ++k) {
        const double t = static_cast<double>(k) - 8.5;
        const double window = 0.42 - 0.5 * std::cos(kTwoPi * k / 17.0) + 0.08 * std::cos(2.0 * kTwoPi * k / 17.0);
        coefficients_[k] = std::sin(0.74 * kPi * t) / (kPi * t) * window;
        coefficientPairs_[2 * k] = coefficients_[k];
        coefficientPairs_[2 * k + 1] = coefficients_[k];
#if defined(VORLATEK_FIR_AVX2)
        for (int q = 0; q < 4; ++q) coefficientQuads_[4 * k + q] = coefficients_[k];
#endif
    }
    for (int j = 0; j < kTaps; ++j) reversed_[j] = coefficients_[kTaps - 1 - j];
    history_.fill(0.0);
    newest_ = kFirstNewest;
    output_ = 0.0;
}

}  // namespace vorlatek::dsp
