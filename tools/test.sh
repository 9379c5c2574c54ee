#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in the Release build
# (build/) and under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/); then the
# concurrency suite once more under ThreadSanitizer (build-tsan/).
set -euo pipefail
cd "$(dirname "$0")/.."

# dpf-plugins-vst: third-party plug-ins the host's end-to-end tests load, to prove that
# vorlatek-host speaks the real interface.
./tools/install-dependencies.sh dpf-plugins-vst
jobs="$(nproc 2>/dev/null || echo 2)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLATEK_SANITIZE=ON -DVORLATEK_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j"$jobs" --output-on-failure

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLATEK_THREAD_SANITIZE=ON -DVORLATEK_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target concurrency_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./build-tsan/tests/concurrency_tests

# The same suites of the 32-bit and 64-bit Windows builds, under Wine.
./tools/test-windows.sh
