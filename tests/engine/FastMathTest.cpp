// The inlined exp, sin and tanh against the maths library in long double, densely over the ranges the
// voices use and beyond, and at the edges where they are held or give up.

#include "engine/FastMath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace vorlatek::dsp {
namespace {

constexpr double kUlp = std::numeric_limits<double>::epsilon();

struct Accuracy {
    const char* name;
    double (*fast)(double);
    long double (*exact)(double);
    double from, to;
    bool relative;     // error measured relative to the exact value, else absolute
    double allowed;    // in units of double epsilon
};

void PrintTo(const Accuracy& a, std::ostream* os) { *os << a.name; }

class FastMathAccuracy : public testing::TestWithParam<Accuracy> {};

TEST_P(FastMathAccuracy, StaysWithinAFewUnitsOfTheLastPlace) {
    const Accuracy& a = GetParam();
    // A million points with an irrational step, so that every table entry and every part of
    // the reduced interval is hit many times.
    const int points = 1000000;
    const double step = (a.to - a.from) / points * 0.999999937;
    double worst = 0.0, worstAt = 0.0;
    for (int i = 0; i <= points; ++i) {
        const double x = a.from + i * step;
        const long double exact = a.exact(x);
        double error = static_cast<double>(std::fabs(a.fast(x) - exact));
        if (a.relative) error /= static_cast<double>(std::fabs(exact));
        if (error > worst) worst = error, worstAt = x;
    }
    EXPECT_LE(worst, a.allowed * kUlp) << a.name << " at " << worstAt;
}

// The references in long double: on every platform more precise than the double results
// they judge, whatever the platform's double functions round to. (Where long double is the
// x87's, its sine loses that precision for angles far beyond 1e4.)
long double exactExp(double x) { return std::exp(static_cast<long double>(x)); }
long double exactSin(double x) { return std::sin(static_cast<long double>(x)); }
long double exactTanh(double x) { return std::tanh(static_cast<long double>(x)); }

INSTANTIATE_TEST_SUITE_P(
    Ranges, FastMathAccuracy,
    testing::Values(Accuracy{"exp near 0", fastExp, exactExp, -2.0, 2.0, true, 2.0},
                    Accuracy{"exp over its range", fastExp, exactExp, -708.0, 709.0, true, 2.0},
                    Accuracy{"sin of a bass drum's tuning", fastSin, exactSin, 0.0, 0.1, false, 1.0},
                    Accuracy{"sin of a few turns", fastSin, exactSin, -20.0, 20.0, false, 1.0},
                    Accuracy{"sin of a long phase", fastSin, exactSin, 0.0, 1.0e4, false, 1.0},
                    Accuracy{"tanh", fastTanh, exactTanh, -10.0, 10.0, false, 2.0}),
    [](const testing::TestParamInfo<Accuracy>& info) { return "Case" + std::to_string(info.index); });

// Past its range exp is held at the nearest normal result instead of going to 0 or infinity,
// sin gives 0 where a phase would have lost its precision; NaN stays NaN or becomes 0, never
// a number out of range.
TEST(FastMath, EdgesAreHeldAndNeverBlowUp) {
    EXPECT_DOUBLE_EQ(fastExp(0.0), 1.0);
    EXPECT_GT(fastExp(-1000.0), 0.0);
    EXPECT_LT(fastExp(-1000.0), 1e-300);
    EXPECT_TRUE(std::isfinite(fastExp(1000.0)));
    EXPECT_TRUE(std::isfinite(fastExp(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(fastExp(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(fastSin(0.0), 0.0);
    EXPECT_EQ(fastSin(3.0e7), 0.0);
    EXPECT_EQ(fastSin(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(fastSin(std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_DOUBLE_EQ(fastTanh(400.0), 1.0);
    EXPECT_DOUBLE_EQ(fastTanh(-400.0), -1.0);
}

// The run-wide forms give each value what the single call gives, to the bit: runs of small
// angles only (the polynomial side by side), runs where one angle needs the table, and
// values the single call holds or gives up on.
TEST(FastMath, RunWideFormsMatchTheSingleCall) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<std::vector<double>> runs;
    std::vector<double> small, mixed;
    for (int i = 0; i < 61; ++i) small.push_back(0.0003 * (i - 30) + 1e-9 * i);
    mixed = small;
    mixed[17] = 1.3;
    runs.push_back(small);
    runs.push_back(mixed);
    const double inf = std::numeric_limits<double>::infinity();
    runs.push_back({-800.0, -708.0, -1.0, 0.0, 1e-300, 0.5, 709.0, 1000.0, 3e7, nan, -inf, inf, -0.0, 4e-320,
                    -708.0000001, 709.0000001, -nan, 0.010830424696249145});
    // Eight at a time where the processor can: a sweep over the whole held range and past it,
    // every lane of the table met many times.
    std::vector<double> sweep;
    for (int i = 0; i < 1603; ++i) sweep.push_back(-760.0 + 0.9497 * i);
    runs.push_back(sweep);
    for (const std::vector<double>& x : runs) {
        const int n = static_cast<int>(x.size());
        std::vector<double> sines(x.size()), exps(x.size());
        fastSinEach(x.data(), sines.data(), n);
        fastExpEach(x.data(), exps.data(), n);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(sines[i]), std::bit_cast<std::uint64_t>(fastSin(x[i]))) << x[i];
            EXPECT_EQ(std::bit_cast<std::uint64_t>(exps[i]), std::bit_cast<std::uint64_t>(fastExp(x[i]))) << x[i];
        }
    }
}

}  // namespace
}  // namespace vorlatek::dsp
