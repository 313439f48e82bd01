#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite; ends with
# the time of each stage.
# Usage: scripts/test.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh
build=${1:-build}
shift || true
stage "install (scripts/setup.sh)" bash scripts/setup.sh
stage "configure ($build)" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
stage "build ($build)" cmake --build "$build" -j"$(nproc)"
stage "tests ($build)" ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
