#!/usr/bin/env bash
# Installs what is needed, builds quorbix and its PhotoCD converter, writes the
# project's own sample PhotoCD (a synthetic picture with Base, 4Base and
# 16Base levels) and converts it to TIFF, printing the run's lines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quorbix convert make-sample-pcd
rm -rf build/sample-in build/sample-out
mkdir -p build/sample-in build/sample-out
./build/make-sample-pcd build/sample-in/sample.pcd --top 16base
./build/quorbix -i "$PWD/build/sample-in" -o "$PWD/build/sample-out" -d
ls -l build/sample-out
