#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the command-line host, and renders the
# factory patterns to demo.wav in the top folder of the checkout: 16 bars at 120 bpm of the
# first basic pattern alternating variations A and B, with a fill-in every fourth measure
# (the state in tools/demo-state.xml), the master as a stereo float WAV.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/install-dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLATEK_TESTS=OFF -DVORLATEK_BENCH=OFF
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
./build/vorlatek-host render build/Vorlatek.so -o demo.wav --chunk tools/demo-state.xml --bars 16 --tempo 120 --json
echo "Rendered $(pwd)/demo.wav"
