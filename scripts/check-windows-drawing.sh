#!/usr/bin/env bash
# Cross-builds the drawing module's Windows sources (the shared canvas and
# the GDI font and text code, src/drawing/*-windows.cpp) with the image
# module's bitmap code against the static MinGW cairo, pixman and FreeImage,
# and runs tests/draw_windows/ under Wine: the text checks, and the frame
# pixels compared with those of the same program built for Linux.
# Not part of the Linux build or CI yet.
#
# Needs: g++-mingw-w64-x86-64-posix, wine64, and for the Linux side g++,
# libcairo2-dev and libfreeimage-dev (Debian packages); the static libraries
# in <deps prefix> (scripts/build-windows-deps.sh).
# Usage: scripts/check-windows-drawing.sh <deps prefix> [build folder; default: build-windows-drawing]
# Exits 0 when every check passed.
set -euo pipefail

cd "$(dirname "$0")/.."
[[ $# -ge 1 ]] || { echo "usage: $0 <deps prefix> [build folder]" >&2; exit 2; }
prefix=$(cd "$1" && pwd)
out=${2:-build-windows-drawing}
mkdir -p "$out/objects"
out=$(cd "$out" && pwd)

cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" >/dev/null || { echo "check-windows-drawing: $cxx missing (apt-get install g++-mingw-w64-x86-64-posix)" >&2; exit 2; }
wine=$(command -v wine64 || command -v wine || true)
[[ -z $wine && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
[[ -n $wine ]] || { echo "check-windows-drawing: wine64 missing (apt-get install wine64)" >&2; exit 2; }
[[ -f $prefix/include/cairo/cairo.h && -f $prefix/lib/libcairo.a ]] ||
  { echo "check-windows-drawing: no static cairo in $prefix" >&2; exit 2; }

flags=(-std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -Isrc -I"$prefix/include" -I"$prefix/include/cairo"
       -DWIN32_LEAN_AND_MEAN -DNOMINMAX -DCAIRO_WIN32_STATIC_BUILD)
# What the drawing module links on Windows, in link order.
libs=(-L"$prefix/lib" -lcairo -lpixman-1 -lfreeimage -ltiff -lpng16 -ljpeg -lz -lgdi32)

sources=(src/drawing/canvas.cpp src/drawing/font-windows.cpp src/drawing/text-windows.cpp
         src/image/bitmap.cpp src/image/transforms.cpp)
objects=()
for source in "${sources[@]}"; do
  object="$out/objects/$(echo "${source%.cpp}" | tr / _).o"
  if [[ ! -f $object || $source -nt $object || -n $(find src/drawing src/image src/platform -name '*.h' -newer "$object" | head -1) ]]; then
    echo "compiling $source"
    nice "$cxx" "${flags[@]}" -c "$source" -o "$object"
  fi
  objects+=("$object")
done

for program in windows_draw_check frame_pixels; do
  echo "linking $program.exe"
  nice "$cxx" "${flags[@]}" -static "tests/draw_windows/$program.cpp" "${objects[@]}" "${libs[@]}" \
    -o "$out/$program.exe"
done

echo "building frame_pixels for Linux"
# shellcheck disable=SC2046
nice g++ -std=c++20 -O1 -Wall -Wextra -Werror -Isrc $(pkg-config --cflags cairo) \
  tests/draw_windows/frame_pixels.cpp src/drawing/canvas.cpp src/image/bitmap.cpp src/image/transforms.cpp \
  $(pkg-config --libs cairo) -lfreeimage -o "$out/frame_pixels"

# A private Wine prefix, made once; no window, no Mono or Gecko dialogues.
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [[ ! -d $WINEPREFIX/drive_c ]]; then
  echo "making the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi

status=0
echo "running windows_draw_check.exe under $(basename "$wine")"
"$wine" "$out/windows_draw_check.exe" </dev/null | tr -d '\r' || status=1

"$out/frame_pixels" "$out/frame-linux.rgba" || status=1
"$wine" "$out/frame_pixels.exe" "$out/frame-windows.rgba" </dev/null || status=1
if [[ -s $out/frame-linux.rgba ]] && cmp -s "$out/frame-linux.rgba" "$out/frame-windows.rgba"; then
  echo "PASSED: the frame pixels are the same on Linux and Windows ($(wc -c <"$out/frame-linux.rgba") bytes)"
else
  echo "FAILED: the frame pixels differ between Linux and Windows" >&2
  status=1
fi
exit "$status"
