#!/usr/bin/env bash
# Cross-builds Vorlatek for 32-bit and 64-bit Windows (tools/build-windows.sh) and runs the
# engine, sequencer, plug-in and host suites of both builds under Wine, the two builds side
# by side. Wine gets a prefix of its own (build-win-deps/wine) and no display.
#
# A 32-bit program under a Wine without its 32-bit part prints nothing and exits 0, so a
# suite passes only when it exits 0 and printed GoogleTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

start=$SECONDS
./tools/build-windows.sh
echo "windows: built in $((SECONDS - start)) s"

export WINEPREFIX="$root/build-win-deps/wine"
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 || { echo "windows: wineboot could not make the Wine prefix" >&2; exit 1; }
  # The boot leaves its server running for a few seconds; a persistent one cannot start
  # beside it.
  wineserver -w >/dev/null 2>&1 || true
fi
# A server that stays for the whole run. Its output must not hold the caller's pipes open.
wineserver -p >/dev/null 2>&1 || { echo "windows: wineserver -p failed" >&2; exit 1; }
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

suites=(engine sequencer plugin host)
logs="$root/build-win-deps/test-logs"
rm -rf "$logs"
mkdir -p "$logs"

# Runs every suite of one build, one after the other, each from the build folder (where
# the suites expect to start). Writes <build>-<suite>.log and .status.
run_build() {
  local build="$1" suite
  for suite in "${suites[@]}"; do
    local log="$logs/$build-$suite.log" began=$SECONDS status=0
    (cd "$build" && wine "tests/${suite}_tests.exe" --gtest_brief=1 >"$log" 2>&1) || status=$?
    echo "$status $((SECONDS - began))" >"$logs/$build-$suite.status"
  done
}

start=$SECONDS
run_build build-win32 &
win32=$!
run_build build-win64 &
win64=$!
wait "$win32" "$win64"

passed=0
failed=0
skipped=0
bad=()
for build in build-win32 build-win64; do
  for suite in "${suites[@]}"; do
    log="$logs/$build-$suite.log"
    read -r status seconds <"$logs/$build-$suite.status"
    ran="$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$log" | tail -n1)"
    p="$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n1)"
    s="$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}[.,].*/\1/p' "$log" | tail -n1)"
    # GoogleTest's brief output names each failed test but prints no count of them.
    f=""
    if [ -n "$ran" ]; then f=$((ran - ${p:-0} - ${s:-0})); fi
    [ "${f:-0}" -gt 0 ] || f=""
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    skipped=$((skipped + ${s:-0}))
    if [ -z "$ran" ]; then
      bad+=("$build $suite")
      failed=$((failed + 1))
      echo "windows: $build ${suite}_tests did not run (no summary; exit status $status, $seconds s):"
      tail -n 20 "$log"
    elif [ "$status" -ne 0 ] || [ -n "$f" ]; then
      bad+=("$build $suite")
      echo "windows: $build ${suite}_tests FAILED (exit status $status, $seconds s):"
      grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -n 40
    else
      echo "windows: $build ${suite}_tests: $ran tests ran, ${p:-0} passed, ${s:-0} skipped ($seconds s)"
    fi
  done
done
echo "windows: suites ran under Wine in $((SECONDS - start)) s"
echo "windows: $passed passed, $failed failed, $skipped skipped"
if [ "${#bad[@]}" -gt 0 ]; then
  echo "windows: failing: ${bad[*]}" >&2
  exit 1
fi
