#!/usr/bin/env bash
# Installs what building, testing and running Vorlatek needs on Debian or Ubuntu, if it is
# missing. Uses sudo when not run as root. Extra package names given as arguments are
# installed too.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libxml2-dev libsndfile1-dev nlohmann-json3-dev libebur128-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libfontconfig-dev libxcb1-dev libxcb-shm0-dev libxkbcommon-dev libxkbcommon-x11-dev
  libdbus-1-dev dbus fonts-dejavu-core
  libxcb-xtest0-dev xvfb xauth xdotool
  binutils python3 locales
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
