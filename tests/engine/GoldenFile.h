#pragma once
// Golden renders: a voice's output after a trigger, stored as text under
// tests/data/golden/<name>.txt. A render that drifts from its stored values fails.
// Run the tests with VORLATEK_REGENERATE_GOLDEN=1 to rewrite the files on purpose
// (then look at the diff before committing it).

#include <gtest/gtest.h>

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

inline void expectMatchesGolden(const std::string& name, const std::vector<double>& samples,
                                double tolerance = 1e-12) {
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
    int reported = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double allowed = tolerance * std::max(1.0, std::fabs(stored[i]));
        if (!(std::fabs(samples[i] - stored[i]) <= allowed)) {
            ADD_FAILURE() << name << " differs at sample " << i << ": " << samples[i] << " vs stored "
                          << stored[i];
            if (++reported >= 5) return;
        }
    }
}

}  // namespace vorlatek::test
