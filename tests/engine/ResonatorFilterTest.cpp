// The resonator's update, carried forward with low and band together, against the update
// as its formula writes it: struck, left to ring and driven by noise, across the centres,
// dampings and rates the voices use.

#include "engine/ResonatorFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace vorlatek {
namespace {

// h = x − q·band + ε; low ← low + F·band + ε; high = h − low + ε; band ← band + F·high + ε.
struct AsWritten {
    double F, q, low = 0.0, band = 0.0;
    double process(double x) {
        const double h = x - q * band + dsp::kEpsilon;
        low = low + F * band + dsp::kEpsilon;
        const double high = h - low + dsp::kEpsilon;
        band = band + F * high + dsp::kEpsilon;
        return band;
    }
};

// The largest difference over two seconds as a fraction of the peak: a strike at 0, a
// stretch of noise from 0.5 s to 0.6 s, a second strike at 1 s.
double largestDeviation(double centre, double q, double rate) {
    dsp::ResonatorFilter carried;
    carried.F = dsp::ResonatorFilter::frequencyCoefficient(centre, rate);
    carried.q = q;
    AsWritten written{carried.F, q};
    const long frames = std::lround(2.0 * rate);
    std::uint32_t noise = 12345u;
    double peak = 0.0, largest = 0.0;
    for (long n = 0; n < frames; ++n) {
        double x = n == 0 || n == frames / 2 ? 1.0 : 0.0;
        if (n >= frames / 4 && n < frames * 3 / 10) {
            noise = noise * 1664525u + 1013904223u;
            x = static_cast<double>(noise) / 4294967296.0 - 0.5;
        }
        const double a = carried.process(x), b = written.process(x);
        peak = std::max(peak, std::fabs(b));
        largest = std::max(largest, std::fabs(a - b));
    }
    return largest / peak;
}

TEST(ResonatorFilter, CarriedForwardStaysWithinRoundingOfTheUpdateAsWritten) {
    double worst = 0.0;
    for (double rate : {22050.0, 44100.0, 96000.0, 192000.0})
        for (double centre : {30.0, 170.0, 930.0, 3400.0, 7000.0})
            for (double q : {0.002, 0.015, 0.11, 0.9, 1.5}) {
                if (centre > 0.4 * rate) continue;
                const double deviation = largestDeviation(centre, q, rate);
                EXPECT_LT(deviation, 1e-10) << centre << " Hz, q " << q << ", " << rate << " Hz";
                worst = std::max(worst, deviation);
            }
    RecordProperty("largest_deviation", std::to_string(worst));
}

}  // namespace
}  // namespace vorlatek
