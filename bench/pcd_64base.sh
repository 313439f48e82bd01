#!/usr/bin/env bash
# 64Base: our converter on a project-made Pro PhotoCD picture (the Image Pac
# plus its IPE/<name>/64BASE extension), as quorbix starts it.
#   bench/pcd_64base.sh [build-folder] [runs]
# Prints the wall time and peak memory of each run, then the time a request
# for 64Base costs when the extension folder is absent.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/disc/PHOTO_CD/IMAGES" "$work/plain"
"$build/make-sample-pcd" "$work/disc/PHOTO_CD/IMAGES/IMG0001.PCD" --top 64base
"$build/make-sample-pcd" "$work/plain/IMG0001.PCD" --top 16base
du -ab "$work/disc" | sort -k2
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "64Base: %e s wall, %U+%S s CPU, %M KB peak" \
    "$build/convert" -quiet -colorspace sRGB "$work/disc/PHOTO_CD/IMAGES/IMG0001.PCD[6]" "$work/out.tga"
  rm -f "$work/out.tga"
done
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "no extension: %e s wall, %M KB peak, exit %x" \
    "$build/convert" -quiet -colorspace sRGB "$work/plain/IMG0001.PCD[6]" "$work/out.tga" 2>&1 | grep -v '^convert:' || true
done
