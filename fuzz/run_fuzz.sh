#!/usr/bin/env bash
# Builds one fuzz target and runs it for a while, niced.
# Usage: fuzz/run_fuzz.sh <target> [seconds] [work-folder] [libFuzzer flags...]
# Targets: pcd_file, pcd_residuals, pcd_extension (the PhotoCD decoder);
# option_loop, profile, list_file, output_naming (the readers of text).
# Seeds: for the decoder, project-made files from make-sample-pcd, and for
# pcd_file also the third-party samples in ../shared/samples when present
# (read in place, never copied into the repository); for the text readers,
# the seeds and dictionary of fuzz/text_seeds.sh. Crashes land in the work
# folder, and so does every temporary file of the target (TMPDIR).
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target: pcd_file, pcd_residuals, pcd_extension, option_loop, profile, list_file or output_naming}
seconds=${2:-900}
work=${3:-build-fuzz/work-$target}
shift $(($# < 3 ? $# : 3))

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQUORBIX_FUZZ=ON -DQUORBIX_TESTS=OFF -DQUORBIX_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$target" >/dev/null
mkdir -p "$work/corpus" "$work/crashes" "$work/tmp"
work=$(cd "$work" && pwd)
flags=()

case $target in
  pcd_*)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build --target make-sample-pcd >/dev/null
    mkdir -p "$work/seeds/file" "$work/seeds/residuals" "$work/seeds/extension"
    build/make-sample-pcd --fuzz-seeds "$work/seeds"
    seeds=("$work/seeds/${target#pcd_}")
    if [[ $target == pcd_file ]]; then
      # The file target reads a compact form: the first 8192 bytes, then the
      # file from sector 384 on (see pcd_file_fuzz.cpp). Third-party samples
      # are compacted into the work folder at fuzz time only.
      mkdir -p "$work/seeds/compact"
      for f in "$work"/seeds/file/*.pcd ../shared/samples/*.pcd; do
        [[ -f $f ]] || continue
        out="$work/seeds/compact/$(basename "$f")"
        head -c 8192 "$f" > "$out"
        tail -c +$((384 * 2048 + 1)) "$f" >> "$out"
      done
      seeds=("$work/seeds/compact")
      # The file target's inputs only reach the coded levels when they are
      # long: let mutations keep the seeds' full length from the start.
      flags=(-max_len=8000000 -len_control=0)
    else
      flags=(-max_len=65536 -len_control=100)
    fi
    ;;
  option_loop | profile | list_file | output_naming)
    rm -rf "$work/seeds"
    bash fuzz/text_seeds.sh "$target" "$work"
    seeds=("$work/seeds")
    flags=(-max_len=4096 -dict="$work/dict")
    ;;
  *) echo "run_fuzz.sh: unknown target $target" >&2; exit 1 ;;
esac

TMPDIR="$work/tmp" exec nice -n 19 "build-fuzz/fuzz/fuzz_$target" "$work/corpus" "${seeds[@]}" \
  -max_total_time="$seconds" -malloc_limit_mb=512 -rss_limit_mb=2048 -timeout=60 \
  -artifact_prefix="$work/crashes/" -print_final_stats=1 "${flags[@]}" "$@"
