#!/usr/bin/env bash
# Prepares a Debian 12 or 13 machine and the build: installs what is missing, copies the
# eye cascade next to the game and builds everything in build/. Safe to run again:
# a second run installs nothing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake make pkg-config libopencv-dev libtbb-dev opencv-data libx11-dev libgtest-dev libbenchmark-dev
          xvfb xauth xdotool imagemagick x11-utils clang libclang-rt-dev clang-format git
          dpkg-dev file lintian desktop-file-utils appstream)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The game loads its cascade from classifier/ relative to its working directory.
cascade=/usr/share/opencv4/haarcascades/haarcascade_eye.xml
mkdir -p classifier
cmp -s "$cascade" classifier/haarcascade_eye.xml || cp "$cascade" classifier/haarcascade_eye.xml

# --install-only: stop here, before configuring and building (scripts/package.sh builds itself).
[ "${1:-}" = "--install-only" ] && exit 0

build=${DRAVOLT_BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -DDRAVOLT_WERROR=$werror ${DRAVOLT_CMAKE_ARGS:-} > /dev/null
cmake --build "$build" -j2
