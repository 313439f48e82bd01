#!/usr/bin/env bash
# Makes the Debian package quorbix_<version>-1_<arch>.deb in build-deb/ (or
# the folder given): installs what packaging needs, builds quorbix, its
# converter and make-sample-pcd in Release with Debian's hardening flags and
# no tests, and runs `cpack -G DEB`. A ccache set in CMAKE_CXX_COMPILER_LAUNCHER
# (environment) is used on the first configuration.
# Usage: scripts/build-deb.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --package
build=${1:-build-deb}

# Debian's flags (dpkg-buildflags), all hardening on; no -g: the package
# holds stripped binaries and no debug symbols.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/quorbix_*.deb
(cd "$build" && cpack -G DEB)
