#!/usr/bin/env bash
# Files per second of quorbix on a folder of N copies of the portrait sample
# (copies: one file under several names is one input), with the default
# number of jobs and with --jobs=1, with
# the CPU seconds per file and the peak memory that /usr/bin/time -v reports
# (the largest of quorbix and its converters). With ImageMagick's convert in
# /usr/bin, its one-file-at-a-time loop at sub-image 5 for comparison.
#   bench/jobs.sh [build-folder] [files=20]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
files=${2:-20}
sample=$(realpath ../shared/samples/portrait-16base.pcd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/run"
for i in $(seq -w 1 "$files"); do cp "$sample" "$work/in/p$i.pcd"; done
export XDG_RUNTIME_DIR="$work/run"

printf '%-24s %8s %10s %12s %12s\n' "" "seconds" "files/s" "CPU s/file" "peak MiB"
measure() {
  local label=$1
  shift
  rm -rf "$work/out" && mkdir "$work/out"
  # A failing run is still timed (ImageMagick 6.9 ends 16Base of the portrait
  # sample with "corrupt image" and status 1); the count below tells.
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null 2> "$work/stderr.txt" || true
  local converted
  converted=$(find "$work/out" -type f | wc -l)
  [[ $converted -eq $files ]] || echo "$label: $converted of $files converted" >&2
  awk -v label="$label" -v files="$files" -F': ' '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = (n == 3 ? t[1] * 3600 + t[2] * 60 + t[3] : t[1] * 60 + t[2]) }
    /User time/ { user = $2 }
    /System time/ { sys = $2 }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%-24s %8.2f %10.2f %12.3f %12.1f\n", label, wall, files / wall, (user + sys) / files, rss / 1024 }
  ' "$work/time.txt"
}

measure "quorbix (default jobs)" "$build/quorbix" -q -i "$work/in" -o "$work/out"
measure "quorbix --jobs=1" "$build/quorbix" -q -i "$work/in" -o "$work/out" --jobs=1
if [[ -x /usr/bin/convert ]] && /usr/bin/convert -version 2> /dev/null | grep -q ImageMagick; then
  measure "ImageMagick loop" bash -c \
    'for f in "$1"/*.pcd; do /usr/bin/convert "$f[5]" "$2/$(basename "$f" .pcd).tif" || true; done' _ "$work/in" "$work/out"
else
  echo "(ImageMagick's convert is not installed: no comparison loop)"
fi
