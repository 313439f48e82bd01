#!/usr/bin/env bash
# Builds the Windows edition: quorbix.exe and convert.exe, cross-compiled
# with MinGW-w64 and linked statically (no DLL beside them but the system's),
# packed side by side into <build>/quorbix-<version>-windows-x64.zip.
#
#   scripts/build-windows.sh [--test] [--no-tests] [-D<cmake setting>...] [build folder]
#                                                      (default build-windows)
#
#   --test      also runs the unit tests under Wine (ctest in the build folder)
#   --no-tests  builds only the two executables (no test programs)
#
# Steps: scripts/setup.sh --windows when the cross compilers or Wine are
# missing (it installs Debian packages, so it needs root or sudo);
# scripts/build-windows-deps.sh into <build>/deps (the image libraries from
# Debian's sources; a second run reuses them), unless QUORBIX_WINDOWS_DEPS
# names a prefix built before; then CMake with cmake/toolchain-mingw64.cmake.
# JOBS sets the parallel jobs (default 2). ccache is used when installed.
# The tests can be run again at any time with
#   ctest --test-dir <build> -j2 --output-on-failure
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
run_tests=no
build_tests=yes
build=build-windows
settings=()
for argument in "$@"; do
  case $argument in
    --test) run_tests=yes ;;
    -D*) settings+=("$argument") ;;
    --no-tests) build_tests=no ;;
    -*) echo "build-windows: unknown option $argument" >&2; exit 2 ;;
    *) build=$argument ;;
  esac
done
if [[ $run_tests == yes && $build_tests == no ]]; then
  echo "build-windows: --test needs the tests; leave out --no-tests" >&2
  exit 2
fi
jobs=${JOBS:-2}
triple=x86_64-w64-mingw32
log() { printf 'build-windows: %s\n' "$*"; }

# --- Tools ------------------------------------------------------------------
have_tools() {
  command -v $triple-g++-posix >/dev/null && command -v cmake >/dev/null &&
    { command -v wine64 >/dev/null || command -v wine >/dev/null || [[ -x /usr/lib/wine/wine64 ]]; } &&
    [[ -f /usr/$triple/lib/libz.a && -d /usr/src/googletest ]]
}
if ! have_tools; then
  log "the cross compilers or Wine are missing: running scripts/setup.sh --windows (installs Debian packages; needs root or sudo)"
  "$repo/scripts/setup.sh" --windows
fi

mkdir -p "$build"
build=$(cd "$build" && pwd)

# --- Libraries ----------------------------------------------------------------
if [[ -n ${QUORBIX_WINDOWS_DEPS:-} ]]; then
  prefix=$(cd "$QUORBIX_WINDOWS_DEPS" && pwd)
  log "image libraries from $prefix"
else
  JOBS=$jobs "$repo/scripts/build-windows-deps.sh" "$build"
  prefix=$build/deps/prefix
fi

# --- Build ------------------------------------------------------------------
start=$(date +%s)
configure=(-DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw64.cmake"
           -DQUORBIX_WINDOWS_DEPS="$prefix")
[[ -f $build/CMakeCache.txt ]] || configure+=(-DCMAKE_BUILD_TYPE=Release)
if command -v ccache >/dev/null; then
  configure+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [[ $build_tests == yes ]]; then configure+=(-DQUORBIX_TESTS=ON); else configure+=(-DQUORBIX_TESTS=OFF); fi
configure+=("${settings[@]}")
log "configuring $build"
cmake -S "$repo" -B "$build" "${configure[@]}" >"$build/configure.log" || {
  cat "$build/configure.log" >&2
  exit 1
}
log "building (-j$jobs)"
nice cmake --build "$build" -j"$jobs"
log "built in $(($(date +%s) - start)) s"

# --- Check and pack -----------------------------------------------------------
# The DLLs Windows itself has; anything else would have to lie beside the
# executables.
system_dlls='^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|ole32|oleaut32|comdlg32|ws2_32|msimg32|usp10|bcrypt)\.dll$'
executables=("$build/quorbix.exe" "$build/convert.exe")
for executable in "${executables[@]}"; do
  name=$(basename "$executable")
  dlls=$($triple-objdump -p "$executable" | awk '/DLL Name:/ { print $3 }')
  log "$name needs: $(echo $dlls)"
  for dll in $dlls; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
      echo "build-windows: $name needs $dll, which is not part of Windows" >&2
      exit 1
    fi
  done
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
package=quorbix-$version-windows-x64
rm -rf "$build/package" "$build/$package.zip"
mkdir -p "$build/package/$package"
cp "${executables[@]}" "$build/package/$package/"
(cd "$build/package" && cmake -E tar cf "$build/$package.zip" --format=zip "$package")
log "packed $build/$package.zip:"
(cd "$build/package" && find "$package" -type f -printf '  %p  %s bytes\n' | sort)

# --- Tests --------------------------------------------------------------------
if [[ $run_tests == yes ]]; then
  log "running the tests under Wine"
  # The test run ends its Wine servers itself; this ends them also when
  # ctest is stopped before its end.
  stop_wine_servers() {
    local prefix
    for prefix in "$build/wineprefix" "$build/wineprefix-e2e"; do
      [[ -d $prefix ]] && WINEPREFIX=$prefix bash "$repo/scripts/wine-server.sh" stop
    done
    return 0
  }
  trap stop_wine_servers EXIT
  (cd "$build" && nice ctest -j"$jobs" --output-on-failure)
fi
