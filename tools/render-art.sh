#!/usr/bin/env bash
# Draws the editor's art into OUT_DIR: every bitmap as <id>.png and <id>@2x.png, a contact
# sheet of all bitmaps with their frames (contact-sheet.png), and the main panel as the
# editor itself draws it at the factory state (panel.png, panel@2x.png), also with each of
# its windows shown (window-preset-manager, window-settings, window-about, at both scales).
set -euo pipefail
if [ "$#" -ne 1 ]; then
  echo "usage: $0 OUT_DIR" >&2
  exit 2
fi
mkdir -p "$1"
out="$(cd "$1" && pwd)"
cd "$(dirname "$0")/.."

./tools/install-dependencies.sh
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build --target vorlatek-art vorlatek-panel-preview -j2
fonts="$(sed -n 's/^VORLATEK_FONT_DIR:PATH=//p' build/CMakeCache.txt)"
./build/resources/art/vorlatek-art --settings resources/settings.xml --fonts "$fonts" --out "$out" \
  --previews resources
./build/editor/vorlatek-panel-preview --out "$out/panel.png"
./build/editor/vorlatek-panel-preview --scale 2 --out "$out/panel@2x.png"
for window in preset-manager settings about; do
  ./build/editor/vorlatek-panel-preview --window "$window" --out "$out/window-$window.png"
  ./build/editor/vorlatek-panel-preview --window "$window" --scale 2 --out "$out/window-$window@2x.png"
done
echo "art written to $out"
