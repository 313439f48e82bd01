#!/usr/bin/env bash
# End to end: quorbix with our converter against an ImageMagick shell loop,
# on one folder of PhotoCD files (project-made ones, plus the portrait
# sample when ../shared/samples is there; it is read in place).
#   bench/pcd_folder.sh [build-folder] [copies]
# Needs hyperfine and ImageMagick's convert in /usr/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
copies=${2:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/out-q" "$work/out-im" "$work/run"
for i in $(seq 1 "$copies"); do
  "$build/make-sample-pcd" "$work/in/made16-$i.pcd" --top 16base
  "$build/make-sample-pcd" "$work/in/made4-$i.pcd" --top 4base --portrait
done
if [[ -f ../shared/samples/portrait-16base.pcd ]]; then
  ln -s "$(realpath ../shared/samples/portrait-16base.pcd)" "$work/in/portrait-16base.pcd"
fi
ls -la "$work/in"
# The ImageMagick loop asks each file for its top level (5); it cannot know
# which files lack it.
cat > "$work/im-loop.sh" <<'LOOP'
for f in "$1"/*.pcd; do
  b=$(basename "$f" .pcd)
  /usr/bin/convert -quiet -colorspace sRGB "$f[5]" "$2/$b.tiff" 2>/dev/null || true
done
LOOP
export XDG_RUNTIME_DIR="$work/run"
hyperfine --warmup 1 --runs 3 \
  -n quorbix "$build/quorbix -q -i $work/in -o $work/out-q" \
  -n "ImageMagick loop" "bash $work/im-loop.sh $work/in $work/out-im"
identify "$work"/out-q/* "$work"/out-im/* 2>/dev/null | awk '{print $1, $3}'
