#!/usr/bin/env bash
# The converter's decode speed where it matters most: 16Base of the real
# portrait sample and 64Base of a project-made Pro PhotoCD picture, each
# decoded and written as Targa. Optionally against a second build (say, one
# of the branch before a change) in the same run, since the machine's load
# moves the figures from run to run.
#   bench/pcd_decode.sh [build-folder] [other-build-folder] [runs]
# Uses hyperfine when installed (mean and spread), and /usr/bin/time for the
# wall, user and system time and the peak memory of one run of each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
other=${2:+$(realpath "$2")}
runs=${3:-20}
samples=$(realpath ../shared/samples 2>/dev/null || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/disc/PHOTO_CD/IMAGES"
pro="$work/disc/PHOTO_CD/IMAGES/IMG0001.PCD"
"$build/make-sample-pcd" "$pro" --top 64base

cases=("64Base|$pro[6]")
if [[ -n "$samples" && -f "$samples/portrait-16base.pcd" ]]; then
  cases=("16Base|$samples/portrait-16base.pcd[5]" "${cases[@]}")
else
  echo "no ../shared/samples/portrait-16base.pcd: 64Base only"
fi
builds=("$build")
[[ -n "$other" ]] && builds+=("$other")

for c in "${cases[@]}"; do
  what=${c%%|*}
  input=${c#*|}
  echo "== $what"
  commands=()
  for b in "${builds[@]}"; do
    commands+=("$b/convert -quiet -colorspace sRGB $input $work/out.tga")
    /usr/bin/time -f "$b: %e s wall, %U s user, %S s sys, %M KB peak" \
      "$b/convert" -quiet -colorspace sRGB "$input" "$work/out.tga"
  done
  if command -v hyperfine > /dev/null; then
    hyperfine -N -w 3 -r "$runs" "${commands[@]}"
  fi
done
