#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz/), and runs each for a bounded time, one after
# another. Not part of the test command.
#
#   ./tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (60 seconds; every target)
#
# Targets: Chunk Preset PresetBank Pattern Set CcMap UserSettings. The corpora grow in
# build-fuzz/corpus/<Target>/ and are kept between runs; whatever crashes, leaks or takes
# longer than 10 s on one input is written to build-fuzz/findings/<Target>/, and the script
# then exits with status 1. Replay a finding with ./build-fuzz/<Target>Fuzzer FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if [ "$#" -gt 0 ]; then shift; fi
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(Chunk Preset PresetBank Pattern Set CcMap UserSettings)
fi

./tools/install-dependencies.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build build-fuzz -j2 --target SeedMaker "${targets[@]/%/Fuzzer}" >build-fuzz/build.log 2>&1; then
  grep -E "error" -A3 build-fuzz/build.log || tail -20 build-fuzz/build.log
  exit 2
fi
rm -rf build-fuzz/seeds
./build-fuzz/SeedMaker build-fuzz/seeds

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
  echo "== $target: $seconds s"
  status=0
  "./build-fuzz/${target}Fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -dict=fuzz/xml.dict -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target/" \
    "build-fuzz/corpus/$target" "build-fuzz/seeds/$target" 2>"build-fuzz/$target.log" || status=$?
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)" "build-fuzz/$target.log" || true
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    grep -E "ERROR|SUMMARY|Test unit written" "build-fuzz/$target.log" || tail -5 "build-fuzz/$target.log"
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "findings in: ${failed[*]} (build-fuzz/findings/)"
  exit 1
fi
echo "no findings"
