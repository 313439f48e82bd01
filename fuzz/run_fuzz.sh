#!/usr/bin/env bash
# Builds the fuzz targets and runs one of them for a while, niced.
# Usage: fuzz/run_fuzz.sh <pcd_file|pcd_residuals|pcd_extension> [seconds] [work-folder] [libFuzzer flags...]
# Seeds: project-made files from make-sample-pcd; for pcd_file also the
# third-party samples in ../shared/samples when present (read in place, never
# copied into the repository). Crashes land in the work folder.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target: pcd_file, pcd_residuals or pcd_extension}
seconds=${2:-900}
work=${3:-build-fuzz/work-$target}
shift $(($# < 3 ? $# : 3))

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target make-sample-pcd >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQUORBIX_FUZZ=ON -DQUORBIX_TESTS=OFF -DQUORBIX_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$target" >/dev/null

mkdir -p "$work/corpus" "$work/seeds/file" "$work/seeds/residuals" "$work/seeds/extension" "$work/crashes"
build/make-sample-pcd --fuzz-seeds "$work/seeds"
seeds=("$work/seeds/${target#pcd_}")
if [[ $target == pcd_file ]]; then
  # The file target reads a compact form: the first 8192 bytes, then the file
  # from sector 384 on (see pcd_file_fuzz.cpp). Third-party samples are
  # compacted into the work folder at fuzz time only.
  mkdir -p "$work/seeds/compact"
  for f in "$work"/seeds/file/*.pcd ../shared/samples/*.pcd; do
    [[ -f $f ]] || continue
    out="$work/seeds/compact/$(basename "$f")"
    head -c 8192 "$f" > "$out"
    tail -c +$((384 * 2048 + 1)) "$f" >> "$out"
  done
  seeds=("$work/seeds/compact")
fi
max_len=$([[ $target == pcd_file ]] && echo 8000000 || echo 65536)
# The file target's inputs only reach the coded levels when they are long:
# let mutations keep the seeds' full length from the start.
len_control=$([[ $target == pcd_file ]] && echo 0 || echo 100)
exec nice -n 19 "build-fuzz/fuzz/fuzz_$target" "$work/corpus" "${seeds[@]}" \
  -max_total_time="$seconds" -max_len="$max_len" -malloc_limit_mb=512 -rss_limit_mb=2048 \
  -len_control="$len_control" -timeout=60 -artifact_prefix="$work/crashes/" -print_final_stats=1 "$@"
