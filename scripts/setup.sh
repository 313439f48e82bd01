#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run quorbix.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libfreeimage-dev libtiff-dev
  liblcms2-dev  # the sRGB profile of colour TIFFs
  libcairo2-dev libpango1.0-dev fonts-liberation
  netpbm  # the README gallery turns TIFFs into PNGs with it
  libgtest-dev
  mandoc
  nlohmann-json3-dev  # the run report's JSON (header-only)
)
# Optional, any number of them: --clang adds the second compiler and its
# fuzzer and sanitizer runtimes (CI uses both); --extras adds those and
# ImageMagick (comparison only) and hyperfine (timings); --package adds what
# making and checking the Debian package needs (dpkg-shlibdeps and
# dpkg-buildflags from dpkg-dev, file for CPack, lintian); --windows adds
# the MinGW-w64 cross compilers, Wine to run their programs, and what
# scripts/build-windows-deps.sh needs to fetch and build the Debian sources
# of the image libraries (dpkg-dev for apt-get source, nasm for
# libjpeg-turbo's SIMD code), and GoogleTest's sources, which the Windows
# build compiles for its tests.
for option in "$@"; do
  case "$option" in
    --clang) packages+=(clang libclang-rt-14-dev) ;;
    --extras) packages+=(clang libclang-rt-14-dev imagemagick hyperfine) ;;
    --package) packages+=(dpkg-dev file lintian) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
                          wine64 wine libz-mingw-w64-dev
                          dpkg-dev cmake make nasm xz-utils patch googletest) ;;
    *) echo "setup.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
