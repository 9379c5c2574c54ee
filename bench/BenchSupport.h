#pragma once
// What the benchmarks share: the processor's cycle counter and the bench's pattern files.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#if defined(__x86_64__) || defined(_M_X64)
#include <x86intrin.h>
#endif

namespace vorlatek::bench {

// The processor's cycle counter; where the engine knows of none, nanoseconds stand in.
inline unsigned long long cycleCount() {
#if defined(__x86_64__) || defined(_M_X64)
    return __rdtsc();
#else
    return static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

// A file of bench/ (VORLATEK_BENCH_DIR), whole; the program ends if it cannot be read.
inline std::string readBenchFile(const char* name) {
    std::ifstream in(std::string(VORLATEK_BENCH_DIR) + "/" + name, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read bench file %s\n", name);
        std::exit(1);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vorlatek::bench
