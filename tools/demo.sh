#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the command-line host, and renders the
# factory patterns to demo.wav in the top folder of the checkout.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/install-dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLATEK_TESTS=OFF -DVORLATEK_BENCH=OFF
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
./build/vorlatek-host render build/Vorlatek.so -o demo.wav --bars 16 --tempo 120 --json
echo "Rendered $(pwd)/demo.wav"
