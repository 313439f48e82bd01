#!/usr/bin/env bash
# The README's gallery: one project-made picture through each operation.
#
#   scripts/make-gallery.sh [build-folder] [out-folder]   (build, docs/gallery)
#   scripts/make-gallery.sh --readme                      the README's Gallery section
#
# The first form writes the two sample PhotoCDs with make-sample-pcd into a
# temporary folder, runs there every command of the table below exactly as
# the README shows it (only `quorbix` is the build's), turns each TIFF into a
# PNG with netpbm (pixels only: no tags of the TIFF reach the PNG) and copies
# the PNGs into the out folder. Nothing in a command depends on the clock,
# chance or the machine, so the same build makes the same bytes:
# scripts/check-gallery.sh compares them with the committed pictures.
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")/.."

# A folder given on the command line is taken from the caller's folder.
from_caller() { case $1 in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$caller" "$1" ;; esac; }

# The two inputs, made in the working folder before the commands run.
SAMPLES=(
  "make-sample-pcd gallery.pcd --scene gallery --top base"
  "make-sample-pcd sample.pcd --top base"
)

# Every command ends with --filename-mask=<name>.tif, so its picture lands
# beside its input; this makes the PNG of it.
TO_PNG="tifftopnm -quiet NAME.tif | pnmtopng -compression 9 > NAME.png"
SMALL="--width=320 --height=320 --keep-aspect-ratio"
FRAME_12="--fr-solid-left=12 --fr-solid-right=12 --fr-solid-top=12 --fr-solid-bottom=12"

# name | input | caption | options (shell words; $SMALL and $FRAME_12 are
# written out in the README)
TABLE=$(cat <<'EOF'
resize|gallery.pcd|Resized to 320 pixels wide, proportions kept (every picture below is made small the same way)|$SMALL
tone-fullrange|sample.pcd|The plain sample in the earlier tone rendering, --pcd-tone=FULLRANGE: reference white at about 182, a stop dark|--pcd-tone=FULLRANGE $SMALL
tone-display|sample.pcd|The same in the default rendering, DISPLAY: the published tones, the sun's highlights rolled off into the top codes|$SMALL
resize-stretched|gallery.pcd|Resized to 320 x 120 pixels without keeping the proportions, with the box filter|--width=320 --height=120 --resize-algorithm=BOX
rotate-90|gallery.pcd|Turned by 90 degrees (counter-clockwise)|--rotation=90 $SMALL
rotate-20|gallery.pcd|Turned by 20 degrees: the picture grows and the corners take the back colour|--rotation=20 --rotation-back-color=FFFFFF $SMALL
rotate-advanced|gallery.pcd|Turned by 10 degrees in place: the size stays and the corners are filled by mirroring|--rotation=10 --rotation-type=ADVANCED $SMALL
flip-horizontal|gallery.pcd|Mirrored left to right|--flip-horizontal $SMALL
flip-vertical|gallery.pcd|Mirrored top to bottom|--flip-vertical $SMALL
tonal|gallery.pcd|Brighter, with more contrast and a gamma of 1.6|--brightness=10 --contrast=30 --gamma=1.6 $SMALL
invert|gallery.pcd|Inverted|--invert $SMALL
greyscale|gallery.pcd|Greyscale|--greyscale $SMALL
threshold|gallery.pcd|Threshold at 128: black and white|--threshold=128 $SMALL
frame|gallery.pcd|A black frame of 12 pixels|$SMALL $FRAME_12
frame-mitred|gallery.pcd|A frame of four colours and widths, mitred at the corners, three quarters opaque|$SMALL --fr-solid-left=6 --fr-solid-right=24 --fr-solid-top=12 --fr-solid-bottom=18 --fr-solid-left-color=C0392B --fr-solid-right-color=2471A3 --fr-solid-top-color=F1C40F --fr-solid-bottom-color=1E8449 --fr-solid-opacity=192
watermark-text|gallery.pcd|A text watermark with a half-transparent box, its text from placeholders|$SMALL --wm-text="%filename% %width% x %height%" --wm-font="Liberation Sans" --wm-font-size=18 --wm-font-style=BOLD --wm-text-antialiasing --wm-text-padding=6 --wm-back-color=000000 --wm-back-opacity=150 --wm-text-position=BOTTOMCENTER
logo|sample.pcd|The picture for the next watermark, made from the plain sample|--width=96 --height=96 --keep-aspect-ratio --fr-solid-left=3 --fr-solid-right=3 --fr-solid-top=3 --fr-solid-bottom=3 --fr-solid-left-color=FFFFFF --fr-solid-right-color=FFFFFF --fr-solid-top-color=FFFFFF --fr-solid-bottom-color=FFFFFF
watermark-picture|gallery.pcd|A picture watermark, four fifths opaque, at the top left|$SMALL --wm-image=logo.png --wm-image-opacity=204 --wm-image-position=TOPLEFT
combined|gallery.pcd|All at once: turned, made small, mirrored, tonal changes, greyscale, a frame and a text watermark turned with it|--rotation=90 $SMALL --flip-horizontal --contrast=20 --gamma=1.2 --greyscale $FRAME_12 --fr-solid-left-color=404040 --fr-solid-right-color=404040 --fr-solid-top-color=404040 --fr-solid-bottom-color=404040 --wm-text="quorbix" --wm-font="Liberation Sans" --wm-font-size=28 --wm-text-antialiasing --wm-text-rotation=90 --wm-text-opacity=160 --wm-text-position=MIDDLERIGHT --wm-text-x-offset=20
EOF
)

# The options of a row with $SMALL and $FRAME_12 written out.
expand() {
  local options=$1
  # shellcheck disable=SC2016  # the names themselves, not their values
  options=${options//'$SMALL'/$SMALL}
  # shellcheck disable=SC2016
  options=${options//'$FRAME_12'/$FRAME_12}
  printf '%s' "$options"
}

command_line() {  # name input options
  printf 'quorbix -i %s %s --filename-mask=%s.tif' "$2" "$(expand "$3")" "$1"
}

readme() {
  echo "## Gallery"
  echo
  echo "One project-made picture through each operation. \`scripts/make-gallery.sh\`"
  echo "makes them again: in a folder holding the two samples"
  echo
  for sample in "${SAMPLES[@]}"; do echo "    $sample"; done
  echo
  echo "it runs each command shown and turns its TIFF into a PNG for this page:"
  echo
  echo "    ${TO_PNG//NAME/<name>}"
  echo
  echo "\`scripts/check-gallery.sh\` (a test of the suite) proves that the pictures"
  echo "below still come out of these commands byte for byte, and that this"
  echo "section is the one the script prints with \`--readme\`."
  while IFS='|' read -r name input caption options; do
    echo
    echo "**$caption**"
    echo
    echo "![$name](docs/gallery/$name.png)"
    echo
    echo "    $(command_line "$name" "$input" "$options")"
  done <<<"$TABLE"
}

if [ "${1:-}" = "--readme" ]; then
  readme
  exit 0
fi

build=$PWD/build
out=$PWD/docs/gallery
if [ $# -ge 1 ]; then build=$(from_caller "$1"); fi
if [ $# -ge 2 ]; then out=$(from_caller "$2"); fi
for program in quorbix convert make-sample-pcd; do
  [ -x "$build/$program" ] || { echo "make-gallery: $build/$program is missing; build first" >&2; exit 1; }
done
for program in tifftopnm pnmtopng; do
  command -v "$program" >/dev/null || { echo "make-gallery: $program is missing (netpbm; scripts/setup.sh installs it)" >&2; exit 1; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/quorbix-gallery.XXXXXX")
trap 'rm -rf "$work"' EXIT
# A lock folder of its own, so that another quorbix running at the same time
# (a test, a user's run) does not make these runs end silently.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export LC_ALL=C.UTF-8
cd "$work"

for sample in "${SAMPLES[@]}"; do
  read -r -a words <<<"$sample"
  "$build/${words[0]}" "${words[@]:1}"
done

while IFS='|' read -r name input caption options; do
  # The options are shell words as the README shows them (quotes included).
  arguments=()
  eval "arguments=($(expand "$options"))"
  lines=$("$build/quorbix" -i "$input" "${arguments[@]}" "--filename-mask=$name.tif")
  if [ ! -s "$name.tif" ] || ! grep -q '^Files converted: 1 of 1' <<<"$lines"; then
    echo "make-gallery: $name.png was not made by: $(command_line "$name" "$input" "$options")" >&2
    echo "$lines" >&2
    exit 1
  fi
  bash -o pipefail -c "${TO_PNG//NAME/$name}"
done <<<"$TABLE"

while IFS='|' read -r name _; do cp "$name.png" "$out/"; done <<<"$TABLE"
