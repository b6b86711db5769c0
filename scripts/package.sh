#!/usr/bin/env bash
# Builds the Debian package dravolt_VERSION_amd64.deb: sets up the machine, builds the game
# as a Release build with Debian's hardening flags in build-package/ and runs cpack there.
# The last line printed is the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --install-only

build=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake takes CXXFLAGS and LDFLAGS when it first configures the folder; CPPFLAGS (the
# fortify level) has no variable of its own there, so it joins CXXFLAGS.
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j2 --target dravolt dravolt-package-files
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log"; exit 1; }
realpath "$build/dravolt_$(head -1 VERSION)_amd64.deb"
