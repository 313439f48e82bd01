#!/usr/bin/env bash
# Damaged PhotoCD files, as worn discs and broken copies leave them: what our
# converter makes of them beside GraphicsMagick, and whether quorbix names
# every one.
#   bench/pcd_damage.sh [build-folder] [seeds]
# Pictures: the real portrait sample (when ../shared/samples has it; read in
# place), a project-made 16Base picture and a project-made 64Base one. Their
# copies have 1, 2, 5, 10, 20 or 40 flipped bits or 1 to 4 zeroed sectors
# (<seeds> of each, 3 by default), or are cut at 95, 70 or 40%, always in
# the coded part of the Image Pac; for the 64Base picture, in its luma
# extension file instead. For each copy the table shows our converter's
# picture of sub-image 5 (6 for 64Base): its size, its PSNR against our
# picture of the clean file and whether a .repairs note came with it; then
# GraphicsMagick's PSNR against its own picture of the clean file ("fails"
# when it writes none), and ours minus its. Last, quorbix -q runs over all
# copies and the clean pictures: each damaged copy our converter repaired or
# refused must be named on standard error, no clean one; the exit status is
# 1 when that does not hold.
# Needs the build's convert, make-sample-pcd, quorbix, bench_pcd_damage and
# bench_targa_psnr; gm (Debian's graphicsmagick) is optional.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
seeds=${2:-3}
samples=$(realpath ../shared/samples 2>/dev/null || true)
for tool in convert make-sample-pcd quorbix bench/bench_pcd_damage bench/bench_targa_psnr; do
  [[ -x $build/$tool ]] || { echo "pcd_damage.sh: $build/$tool is missing: build it first" >&2; exit 1; }
done
damage=$build/bench/bench_pcd_damage
gm=$(command -v gm || true)
[[ -n $gm ]] || echo "no gm (GraphicsMagick, apt-get install graphicsmagick): its columns stay empty"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/copies" "$work/out" "$work/disc/IMAGES" "$work/quorbix"
inputs=$work/inputs.txt   # every picture for quorbix, a clean one marked "clean "
: > "$inputs"
: > "$work/noticed"       # the copies our converter repaired or refused

# Paths of the damaged copies of $1 (damage inside range $3) in folder $2.
make_copies() {
  for n in 1 2 5 10 20 40; do "$damage" "$1" "$2" flip "$n" "$seeds" "$3"; done
  for n in 1 2 3 4; do "$damage" "$1" "$2" zero "$n" "$seeds" "$3"; done
  for n in 95 70 40; do "$damage" "$1" "$2" cut "$n" 1 "$3"; done
}

# GraphicsMagick's decode of "$1" into "$2", quietly (it may crash).
gm_decode() { ( "$gm" convert "$1" "$2" < /dev/null > /dev/null 2>&1 || exit 1 ) 2>/dev/null && [[ -f $2 ]]; }
# PSNR of two of its decodes, "inf" when equal; the difference of two PSNRs.
gm_psnr() { "$gm" compare -metric PSNR "$1" "$2" 2>/dev/null | awk '/Total:/ { print $2 }'; }
difference() {
  if [[ $1 == "$2" ]]; then echo 0
  elif [[ $1 == inf ]]; then echo inf
  elif [[ $2 == inf ]]; then echo -inf
  else awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.2f", a - b }'; fi
}

row() { printf '%-34s %-10s %-8s %-8s %-8s %s\n' "$@"; }

# One picture: its clean decodes, then each copy. $1 the clean Image Pac, $2
# the sub-image, $3 a file of "<copy> <Image Pac to decode>" lines.
measure() {
  local clean=$1 sub=$2 list=$3 copy pac name ours compared size psnr note theirs
  "$build/convert" -quiet -colorspace sRGB "${clean}[$sub]" "$work/clean.tga"
  echo "== $(basename "$clean") [$sub], our clean picture $("$build/bench/bench_targa_psnr" "$work/clean.tga" "$work/clean.tga" | cut -d' ' -f1)"
  local gm=$gm
  if [[ -n $gm ]] && ! gm_decode "${clean}[$sub]" "$work/clean.tif"; then
    echo "gm cannot decode the clean picture: its columns stay empty"
    gm=
  fi
  row damage "our size" "our PSNR" repairs "gm PSNR" difference
  while read -r copy pac; do
    name=$(basename "$copy")
    ours=$work/out/$name.tga
    size=fails psnr=- note=no theirs=-
    if "$build/convert" -quiet -colorspace sRGB "${pac}[$sub]" "$ours" < /dev/null 2>/dev/null; then
      compared=$("$build/bench/bench_targa_psnr" "$work/clean.tga" "$ours" || echo "unreadable -")
      size=${compared% *} psnr=${compared#* }
      [[ -f $ours.repairs ]] && note=yes
    fi
    rm -f "$ours" "$ours.repairs"
    [[ $note == yes || $size == fails ]] && echo "$pac" >> "$work/noticed"
    if [[ -n $gm ]]; then
      theirs=fails
      if gm_decode "${pac}[$sub]" "$work/copy.tif"; then
        theirs=$(gm_psnr "$work/clean.tif" "$work/copy.tif")
      fi
      rm -f "$work/copy.tif"
    fi
    local diff=-
    [[ $psnr != - && $theirs != - && $theirs != fails ]] && diff=$(difference "$psnr" "$theirs")
    row "${name%.*}" "$size" "$psnr" "$note" "$theirs" "$diff"
  done < "$list"
}

# 16Base pictures: the copies are Image Pacs of their own.
sixteen=("$work/made16.pcd")
"$build/make-sample-pcd" "$work/made16.pcd" --top 16base
if [[ -n $samples && -f $samples/portrait-16base.pcd ]]; then
  sixteen+=("$samples/portrait-16base.pcd")
else
  echo "no ../shared/samples/portrait-16base.pcd: project-made pictures only"
fi
for pac in "${sixteen[@]}"; do
  echo "clean $pac" >> "$inputs"
  make_copies "$pac" "$work/copies" coded | awk '{ print $1, $1 }' > "$work/list"
  cut -d' ' -f1 "$work/list" >> "$inputs"
  measure "$pac" 5 "$work/list"
done

# 64Base: each copy is a picture of its own on the disc, its Image Pac and
# extension files linked to the clean ones but for the damaged luma file
# (the Image Pac a copy: one file under two names is one input).
pro=$work/disc/IMAGES/PRO.PCD
"$build/make-sample-pcd" "$pro" --top 64base
extension=$work/disc/IPE/PRO/64BASE
echo "clean $pro" >> "$inputs"
mkdir -p "$work/icr"
make_copies "$extension/Y0001.ICR" "$work/icr" all | while read -r copy; do
  tag=$(basename "$copy" .ICR)
  mkdir -p "$work/disc/IPE/$tag/64BASE"
  cp "$pro" "$work/disc/IMAGES/$tag.PCD"  # a link would be the same input as the clean one
  for f in "$extension"/*; do [[ $f == */Y0001.ICR ]] || ln "$f" "$work/disc/IPE/$tag/64BASE/"; done
  mv "$copy" "$work/disc/IPE/$tag/64BASE/Y0001.ICR"
  echo "$tag $work/disc/IMAGES/$tag.PCD"
done > "$work/list"
cut -d' ' -f2 "$work/list" >> "$inputs"
gm='' measure "$pro" 6 "$work/list"  # GraphicsMagick reads no 64Base extension

# quorbix over everything: small outputs, the decode is what counts.
sed 's/^clean //' "$inputs" > "$work/list.txt"
quorbix_status=0
"$build/quorbix" -q -i "$work/list.txt" -o "$work/quorbix" --width=256 --height=256 --keep-aspect-ratio \
  --exit-codes > /dev/null 2> "$work/quorbix.err" || quorbix_status=$?
echo "== quorbix -q over $(wc -l < "$work/list.txt") pictures: exit status $quorbix_status," \
  "$(wc -l < "$work/quorbix.err") lines on standard error"
head -n 3 "$work/quorbix.err"
# A copy whose damage our converter could not notice (a flipped bit that
# left a code of the same length) cannot be named either.
status=0 named=0 unnamed=() unnoticed=()
while read -r first second; do
  if [[ $first == clean ]]; then
    if grep -qF "$second" "$work/quorbix.err"; then echo "named, but clean: $second"; status=1; fi
  elif grep -qF "$first" "$work/quorbix.err"; then
    named=$((named + 1))
  elif grep -qxF "$first" "$work/noticed"; then
    unnamed+=("$(basename "$first")")
  else
    unnoticed+=("$(basename "$first")")
  fi
done < "$inputs"
echo "damaged copies named on standard error: $named of $((named + ${#unnamed[@]} + ${#unnoticed[@]}))"
((${#unnoticed[@]} == 0)) || echo "not named, nor noticed by the converter: ${unnoticed[*]}"
if ((${#unnamed[@]} > 0)); then
  echo "not named though the converter repaired or refused them: ${unnamed[*]}"
  status=1
fi
exit $status
