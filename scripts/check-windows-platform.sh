#!/usr/bin/env bash
# Cross-builds the Windows platform sources (src/platform/*-windows.cpp) with
# the base module and the check program tests/platform_windows/ with MinGW,
# and runs the checks under Wine. Not part of the Linux build or CI yet.
#
# Needs: g++-mingw-w64-x86-64-posix and wine64 (Debian packages).
# Usage: scripts/check-windows-platform.sh [build folder; default: build-windows-platform]
# Exits with the check program's status (0: every check passed).
set -euo pipefail

cd "$(dirname "$0")/.."
out=${1:-build-windows-platform}
mkdir -p "$out/objects"
out=$(cd "$out" && pwd)

cxx=x86_64-w64-mingw32-g++-posix
ar=x86_64-w64-mingw32-ar
command -v "$cxx" >/dev/null || { echo "check-windows-platform: $cxx missing (apt-get install g++-mingw-w64-x86-64-posix)" >&2; exit 2; }
wine=$(command -v wine64 || command -v wine || true)
[[ -z $wine && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
[[ -n $wine ]] || { echo "check-windows-platform: wine64 missing (apt-get install wine64)" >&2; exit 2; }

flags=(-std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -Isrc -DWIN32_LEAN_AND_MEAN -DNOMINMAX)

# The base module and the platform sources that are not Linux's.
sources=()
for source in src/base/*.cpp src/platform/*.cpp; do
  [[ $source == *-posix.cpp ]] && continue
  sources+=("$source")
done

objects=()
for source in "${sources[@]}"; do
  object="$out/objects/$(echo "${source%.cpp}" | tr / _).o"
  if [[ ! -f $object || $source -nt $object || -n $(find src/platform src/base -name '*.h' -newer "$object" | head -1) ]]; then
    echo "compiling $source"
    nice "$cxx" "${flags[@]}" -c "$source" -o "$object"
  fi
  objects+=("$object")
done
rm -f "$out/libquorbix_windows_platform.a"
"$ar" rcs "$out/libquorbix_windows_platform.a" "${objects[@]}"

echo "linking windows_platform_check.exe"
nice "$cxx" "${flags[@]}" -municode -static \
  tests/platform_windows/windows_platform_check.cpp "$out/libquorbix_windows_platform.a" \
  -lshell32 -o "$out/windows_platform_check.exe"

# A private Wine prefix, made once; no window, no Mono or Gecko dialogues.
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [[ ! -d $WINEPREFIX/drive_c ]]; then
  echo "making the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi

echo "running windows_platform_check.exe under $(basename "$wine")"
status=0
"$wine" "$out/windows_platform_check.exe" </dev/null || status=$?

# Output redirected by the caller's shell: UTF-16LE code units, no
# byte-order mark, CR LF, on each stream.
"$wine" "$out/windows_platform_check.exe" print >"$out/stdout.bin" 2>"$out/stderr.bin" </dev/null || status=1
if ! cmp -s "$out/stdout.bin" <(printf 'A\0\351\0\r\0\n\0\075\330\367\334\r\0\n\0') ||
   ! cmp -s "$out/stderr.bin" <(printf 'E\0\r\0\n\0'); then
  echo "FAILED: redirected output is not UTF-16LE with CR LF:" >&2
  od -An -tx1 "$out/stdout.bin" "$out/stderr.bin" >&2
  status=1
else
  echo "PASSED: redirected output is UTF-16LE with CR LF"
fi
exit "$status"
