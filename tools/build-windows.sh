#!/usr/bin/env bash
# Cross-builds Vorlatek for Windows with Debian's MinGW-w64 compilers: build-win32/ (i686)
# and build-win64/ (x86-64), each with Vorlatek.dll, vorlatek-host.exe and the test suites.
#
# Installs what is missing (the compilers, Wine with its 32-bit part, the libraries'
# sources), then builds libxml2, libsndfile, libebur128 and GoogleTest for Windows once
# into build-win-deps/ (or $VORLATEK_WIN_DEPS), where later runs find them.
#
#   tools/build-windows.sh                 both architectures, with the test suites
#   tools/build-windows.sh --no-tests i686 the 32-bit plug-in and host only
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

tests=ON
arches=()
for arg in "$@"; do
  case "$arg" in
    --no-tests) tests=OFF ;;
    i686 | x86_64) arches+=("$arg") ;;
    *) echo "usage: $0 [--no-tests] [i686] [x86_64]" >&2; exit 2 ;;
  esac
done
[ "${#arches[@]}" -gt 0 ] || arches=(i686 x86_64)

export VORLATEK_WIN_DEPS="${VORLATEK_WIN_DEPS:-$root/build-win-deps}"
deps="$VORLATEK_WIN_DEPS"
jobs="$(nproc 2>/dev/null || echo 2)"
[ "$jobs" -le 2 ] || jobs=2

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

# --- What the machine needs -------------------------------------------------------------

# nlohmann-json's headers and GoogleTest's sources (/usr/src/googletest) come with the
# Linux build's packages.
./tools/install-dependencies.sh

install_windows_packages() {
  local packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386)
  local missing=() p update=0
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  # Wine runs 32-bit programs only with its i386 part; without it they print nothing and
  # exit 0.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    update=1
  fi
  # The libraries' sources come from the package archive as source packages.
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] && grep -q 'debian' "$f" || continue
      sed -e 's/^Types: deb$/Types: deb-src/' "$f" | $sudo tee "/etc/apt/sources.list.d/vorlatek-src-$(basename "$f")" >/dev/null
    done
    if [ -f /etc/apt/sources.list ] && grep -qE '^deb ' /etc/apt/sources.list; then
      sed -n -e 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/vorlatek-src.list >/dev/null
    fi
    update=1
  fi
  if [ "$update" -eq 1 ] || [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
  fi
  if [ "${#missing[@]}" -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
install_windows_packages

# --- The libraries, built once for each architecture ------------------------------------

# Downloads the source package of $1 into $deps/src (once) and prints the path of its
# upstream tarball, checked against the package's description. Only the upstream tarball
# is used, so a missing Debian part does not matter.
fetch_source() {
  local package="$1" dsc tarball sum
  mkdir -p "$deps/src"
  dsc="$(ls "$deps/src/${package}"_*.dsc 2>/dev/null | head -n1 || true)"
  if [ -z "$dsc" ]; then
    (cd "$deps/src" && apt-get source --download-only -qq "$package" >/dev/null 2>&1) || true
    dsc="$(ls "$deps/src/${package}"_*.dsc 2>/dev/null | head -n1 || true)"
  fi
  [ -n "$dsc" ] || { echo "cannot download the source package $package" >&2; return 1; }
  read -r sum tarball < <(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0}
                               on && $3 ~ /\.orig\.tar\./ {print $1, $3; exit}' "$dsc")
  [ -n "${tarball:-}" ] || { echo "no upstream tarball named in $dsc" >&2; return 1; }
  if ! echo "$sum  $deps/src/$tarball" | sha256sum --check --status 2>/dev/null; then
    (cd "$deps/src" && apt-get source --download-only -qq "$package" >/dev/null 2>&1) || true
    echo "$sum  $deps/src/$tarball" | sha256sum --check --status ||
      { echo "the upstream tarball of $package is missing or damaged: $deps/src/$tarball" >&2; return 1; }
  fi
  echo "$deps/src/$tarball"
}

# Unpacks a tarball into $deps/src/unpacked/<name> (afresh) and prints the source folder.
unpack() {
  local tarball="$1" name="$2" into="$deps/src/unpacked/$2"
  rm -rf "$into"
  mkdir -p "$into"
  tar -xf "$tarball" -C "$into" --strip-components=1
  echo "$into"
}

# Builds a CMake project (a folder, or a tarball to unpack) for one architecture and
# installs it into its prefix, unless the stamp shows it was built from the same source with
# the same recipe.
build_library() {
  local arch="$1" name="$2" source="$3"
  shift 3
  local prefix="$deps/$arch" stamp="$deps/$arch/.built-$name"
  local recipe="$(basename "$source") $*"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then return 0; fi
  echo "== building $name for $arch"
  if [ -f "$source" ]; then source="$(unpack "$source" "$name-$arch")"; fi
  local build="$deps/build/$arch/$name"
  rm -rf "$build"
  mkdir -p "$build"
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -Wno-dev "$@" >"$build.log" 2>&1 || { tail -n 30 "$build.log" >&2; return 1; }
  cmake --build "$build" -j"$jobs" >>"$build.log" 2>&1 || { tail -n 30 "$build.log" >&2; return 1; }
  cmake --install "$build" >>"$build.log" 2>&1 || { tail -n 30 "$build.log" >&2; return 1; }
  echo "$recipe" >"$stamp"
}

# libxml2 as a static library: LIBXML_STATIC keeps its functions out of the DLL's exports,
# and its threads use the POSIX layer the -posix compilers bring (no helper threads of its
# own). No network, no catalogs, no loadable modules, no iconv (UTF-8, UTF-16 and the
# ISO-8859 family are built in).
xml_args=(-DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF
  -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF
  -DLIBXML2_WITH_CATALOG=OFF -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_TESTS=OFF
  -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_DEBUG=OFF -DCMAKE_C_FLAGS=-DLIBXML_STATIC)
# libsndfile for the host's WAV files: no codec libraries, no programs.
sndfile_args=(-DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF
  -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF)
gtest_args=(-DBUILD_GMOCK=ON -DINSTALL_GTEST=ON)

xml_tar="$(fetch_source libxml2)"
sndfile_tar="$(fetch_source libsndfile)"
ebur_tar="$(fetch_source libebur128)"
gtest_version="$(dpkg-query -W -f='${Version}' libgtest-dev)"

for arch in "${arches[@]}"; do
  prefix="$deps/$arch"
  mkdir -p "$prefix"
  build_library "$arch" libxml2 "$xml_tar" "${xml_args[@]}"
  build_library "$arch" libsndfile "$sndfile_tar" "${sndfile_args[@]}"
  build_library "$arch" libebur128 "$ebur_tar"
  build_library "$arch" googletest /usr/src/googletest "${gtest_args[@]}" "-DVORLATEK_SOURCE_VERSION=$gtest_version"
  # nlohmann-json is headers only: the same files serve every target.
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -a /usr/include/nlohmann "$prefix/include/"
  cp -a /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
done

# --- Vorlatek ---------------------------------------------------------------------------

targets=(Vorlatek vorlatek-host)
if [ "$tests" = ON ]; then targets+=(engine_tests sequencer_tests plugin_tests host_tests); fi
for arch in "${arches[@]}"; do
  if [ "$arch" = i686 ]; then build=build-win32; else build=build-win64; fi
  echo "== building Vorlatek for $arch in $build/"
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVORLATEK_TESTS="$tests" -DVORLATEK_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$jobs" --target "${targets[@]}"
done
