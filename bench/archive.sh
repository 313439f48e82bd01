#!/usr/bin/env bash
# Compressed archives against an earlier build, in one run so that a busy
# machine weighs on both alike: on the real portrait sample, the bytes of
# its LZW and Deflate TIFFs and whether their pixels are those of the
# uncompressed TIFF; on a folder of N copies of it, files per second with the
# default jobs for NONE, LZW and DEFLATE, and with --jobs=1 for DEFLATE, in
# rounds that run every command once (hyperfine), so that a burst of other
# work falls on all of them; the median of the rounds and the CPU seconds
# per file (quorbix and its converters).
#   bench/archive.sh <earlier-build> [build] [files=20] [runs=5]
# This build runs with --pcd-tone=FULLRANGE, the rendering of earlier
# versions, so that both encode the same pixels; "(DISPLAY)" rows show it
# with its default rendering.
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "${2:-build}")
files=${3:-20}
runs=${4:-5}
sample=$(realpath ../shared/samples/portrait-16base.pcd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/run" "$work/tmp"
chmod 700 "$work/run"
for i in $(seq -w 1 "$files"); do cp "$sample" "$work/in/p$i.pcd"; done
# A private lock and temporary folder: other quorbix runs on the machine
# neither refuse nor disturb these.
export XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/tmp"
tone=--pcd-tone=FULLRANGE

echo "== bytes of the sample (pixels compared through tifftopnm with the build's NONE output)"
one() {  # build label compression [options]
  local build=$1 label=$2 compression=$3
  shift 3
  rm -rf "$work/one" && mkdir "$work/one"
  "$build/quorbix" -q -i "$sample" -o "$work/one/" --tiff-compression="$compression" "$@"
  mkdir -p "$work/$label"
  mv "$work/one/portrait-16base.tiff" "$work/$label/$compression.tiff"
  tifftopnm -quiet "$work/$label/$compression.tiff" > "$work/$label/$compression.ppm"
}
for compression in NONE LZW DEFLATE; do
  one "$old" old "$compression"
  one "$new" new "$compression" $tone
done
printf '%-10s %12s %12s %8s  %s\n' "" "earlier" "this" "ratio" "pixels"
for compression in LZW DEFLATE; do
  a=$(stat -c %s "$work/old/$compression.tiff")
  b=$(stat -c %s "$work/new/$compression.tiff")
  same=different
  cmp -s "$work/new/$compression.ppm" "$work/new/NONE.ppm" && cmp -s "$work/new/NONE.ppm" "$work/old/NONE.ppm" && same=identical
  printf '%-10s %12d %12d %7.1f%%  %s\n' "$compression" "$a" "$b" "$(echo "100 * $b / $a" | bc -l)" "$same"
done

echo "== $files files, $runs rounds"
commands=()
names=()
add() {  # name command...
  names+=("$1")
  shift
  commands+=("$*")
}
for compression in NONE LZW DEFLATE; do
  add "earlier $compression" "$old/quorbix -q -i $work/in -o $work/out/ --tiff-compression=$compression"
  add "this $compression" "$new/quorbix -q -i $work/in -o $work/out/ --tiff-compression=$compression $tone"
done
add "earlier DEFLATE --jobs=1" "$old/quorbix -q -i $work/in -o $work/out/ --tiff-compression=DEFLATE --jobs=1"
add "this DEFLATE --jobs=1" "$new/quorbix -q -i $work/in -o $work/out/ --tiff-compression=DEFLATE --jobs=1 $tone"
add "this LZW (DISPLAY)" "$new/quorbix -q -i $work/in -o $work/out/ --tiff-compression=LZW"
add "this DEFLATE (DISPLAY)" "$new/quorbix -q -i $work/in -o $work/out/ --tiff-compression=DEFLATE"
arguments=()
for k in "${!commands[@]}"; do arguments+=(-n "${names[$k]}" "${commands[$k]}"); done
for round in $(seq 1 "$runs"); do
  hyperfine --style none --runs 1 --prepare "rm -rf $work/out && mkdir $work/out" \
    --export-json "$work/round-$round.json" "${arguments[@]}" > /dev/null 2>&1
done

python3 - "$files" "$work"/round-*.json <<'EOF'
import json, statistics, sys
files = int(sys.argv[1])
seconds, cpu = {}, {}
for path in sys.argv[2:]:
    for r in json.load(open(path))["results"]:
        seconds.setdefault(r["command"], []).append(r["times"][0])
        cpu.setdefault(r["command"], []).append(r["user"] + r["system"])
rate = {name: files / statistics.median(times) for name, times in seconds.items()}
print(f"{'':28} {'median s':>9} {'files/s':>8} {'CPU s/file':>11}")
for name, times in seconds.items():
    print(f"{name:28} {statistics.median(times):9.2f} {rate[name]:8.2f} {statistics.median(cpu[name]) / files:11.3f}")
print("this / earlier, default jobs:", ", ".join(
    f"{c} {rate['this ' + c] / rate['earlier ' + c]:.2f}x" for c in ("NONE", "LZW", "DEFLATE")))
print(f"DEFLATE default jobs / --jobs=1: this {rate['this DEFLATE'] / rate['this DEFLATE --jobs=1']:.2f}x, "
      f"earlier {rate['earlier DEFLATE'] / rate['earlier DEFLATE --jobs=1']:.2f}x")
EOF
