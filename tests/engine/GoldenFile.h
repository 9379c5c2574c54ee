#pragma once
// Golden renders: a voice's output after a trigger, stored as text under
// tests/data/golden/<name>.txt. A render that drifts from its stored values fails.
// Run the tests with VORLATEK_REGENERATE_GOLDEN=1 to rewrite the files on purpose
// (then look at the diff before committing it).
//
// The stored renders were made with the maths library's exp, sin and tanh. Voices that now
// evaluate them inline (FastMath.h) may differ from those renders by at most kInlineMaths
// of the render's peak; every other render must match to its last bits.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vorlatek::test {

inline std::string goldenPath(const std::string& name) {
    return std::string(VORLATEK_TEST_DATA) + "/golden/" + name + ".txt";
}

// How far a voice with inlined functions may stray from the exact render, as a fraction of its peak.
inline constexpr double kInlineMaths = 1e-6;

// Each value must match its stored one within allowances(stored)[i].
template <class Allowances>
void expectMatchesGoldenWithin(const std::string& name, const std::vector<double>& samples, Allowances allowances) {
    const std::string path = goldenPath(name);
    const char* regenerate = std::getenv("VORLATEK_REGENERATE_GOLDEN");
    if (regenerate && *regenerate && std::string(regenerate) != "0") {
        std::ofstream out(path);
        char line[64];
        for (double v : samples) {
            std::snprintf(line, sizeof line, "%.17g\n", v);
            out << line;
        }
        ASSERT_TRUE(out.good()) << "cannot write " << path;
        return;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in.good()) << "missing golden file " << path
                           << " (run with VORLATEK_REGENERATE_GOLDEN=1 to create it)";
    std::vector<double> stored;
    std::string text;
    while (std::getline(in, text))
        if (!text.empty()) stored.push_back(std::strtod(text.c_str(), nullptr));
    ASSERT_EQ(stored.size(), samples.size()) << name;
    const std::vector<double> allowed = allowances(stored);
    int reported = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!(std::fabs(samples[i] - stored[i]) <= allowed[i])) {
            ADD_FAILURE() << name << " differs at sample " << i << ": " << samples[i] << " vs stored "
                          << stored[i];
            if (++reported >= 5) return;
        }
    }
}

// To the last bits: within `tolerance` relative (absolute below 1).
inline void expectMatchesGolden(const std::string& name, const std::vector<double>& samples,
                                double tolerance = 1e-12) {
    expectMatchesGoldenWithin(name, samples, [tolerance](const std::vector<double>& stored) {
        std::vector<double> allowed;
        for (double v : stored) allowed.push_back(tolerance * std::max(1.0, std::fabs(v)));
        return allowed;
    });
}

// A voice that evaluates inlined functions: within kInlineMaths of the stored render's peak.
inline void expectMatchesGoldenOfInlineMaths(const std::string& name, const std::vector<double>& samples) {
    expectMatchesGoldenWithin(name, samples, [](const std::vector<double>& stored) {
        double peak = 0.0;
        for (double v : stored) peak = std::max(peak, std::fabs(v));
        return std::vector<double>(stored.size(), kInlineMaths * peak);
    });
}

}  // namespace vorlatek::test
