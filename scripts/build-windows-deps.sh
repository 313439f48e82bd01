#!/usr/bin/env bash
# Builds the image libraries of the Windows edition as static MinGW-w64
# libraries: libpng, libjpeg-turbo, libtiff and FreeImage, from Debian 12's
# own source packages (with Debian's patches), against Debian's MinGW zlib.
#
#   scripts/build-windows-deps.sh [build-folder]     (default build-windows)
#
# Everything lands in <build-folder>/deps: the fetched sources in src/, the
# work trees in work/, the result in prefix/ (include/, lib/). Each library
# leaves a stamp in stamps/; a second run rebuilds nothing that is stamped,
# so delete a stamp (or deps/) to rebuild. The machine's apt configuration
# is not touched: the source list and package lists are private to deps/.
# Needs the packages of `scripts/setup.sh --windows`.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
deps=$build/deps
prefix=$deps/prefix
stamps=$deps/stamps
jobs=${JOBS:-2}
triple=x86_64-w64-mingw32
toolchain=$repo/cmake/toolchain-mingw64.cmake
sysroot=/usr/$triple
mkdir -p "$deps/src" "$deps/work" "$prefix/include" "$prefix/lib" "$stamps"

log() { printf 'build-windows-deps: %s\n' "$*"; }
stamped() { [[ -f $stamps/$1 ]]; }
stamp() { date -u +%FT%TZ >"$stamps/$1"; }
# A library built anew makes the ones built on it out of date.
outdate() { for name in "$@"; do rm -f "$stamps/$name"; done; }

for tool in $triple-gcc-posix $triple-g++-posix apt-get dpkg-source cmake make; do
  command -v "$tool" >/dev/null || {
    echo "build-windows-deps: $tool is missing; run scripts/setup.sh --windows" >&2
    exit 1
  }
done
[[ -f $sysroot/include/zlib.h && -f $sysroot/lib/libz.a ]] || {
  echo "build-windows-deps: MinGW zlib is missing; run scripts/setup.sh --windows" >&2
  exit 1
}

# --- Sources --------------------------------------------------------------
# A private apt setup that knows only Debian 12's source archive.
apt_dir=$deps/apt
apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
)
packages=(libpng1.6 libjpeg-turbo tiff freeimage)

# The Debian mirror the machine already installs its packages from (the
# source archive lives beside the binary one), or DEBIAN_MIRROR if given.
debian_mirror() {
  local uri=${DEBIAN_MIRROR:-}
  if [[ -z $uri ]]; then
    uri=$(apt-cache policy 2>/dev/null | awk '$3 == "bookworm/main" { print $2; exit }')
  fi
  if [[ -z $uri ]]; then
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk '/^URIs:/ { u = $2 } /^Suites:/ && / bookworm( |$)/ { print u; exit }')
  fi
  if [[ -z $uri ]]; then
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }')
  fi
  [[ -n $uri ]] || {
    echo "build-windows-deps: no Debian 12 mirror in the apt configuration; set DEBIAN_MIRROR" >&2
    return 1
  }
  echo "$uri"
}

fetch_sources() {
  local mirror
  mirror=$(debian_mirror)
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "deb-src $mirror bookworm main" >"$apt_dir/sources.list"
  log "fetching the source packages ${packages[*]}"
  apt-get "${apt_opts[@]}" -qq update
  (cd "$deps/src" && apt-get "${apt_opts[@]}" -qq source --download-only "${packages[@]}")
}
stamped sources || { fetch_sources; stamp sources; }

# Unpacks a source package (dpkg-source applies Debian's patches) into a
# fresh work tree and prints its path. apt-get has already checked the files
# against the archive's signed index, hence --no-check.
unpack() {
  local package=$1 dsc
  dsc=$(ls "$deps/src/${package}_"*.dsc | sort -V | tail -n 1)
  rm -rf "$deps/work/$package"
  mkdir -p "$deps/work/$package"
  dpkg-source --no-check -x "$dsc" "$deps/work/$package/source" >/dev/null
  echo "$deps/work/$package/source"
}

cmake_build() {
  local source=$1 name=$2
  shift 2
  cmake -S "$source" -B "$deps/work/$name/build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQUORBIX_WINDOWS_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$deps/work/$name/configure.log"
  nice make -C "$deps/work/$name/build" -j"$jobs" install >"$deps/work/$name/build.log" 2>&1 || {
    tail -n 40 "$deps/work/$name/build.log" >&2
    return 1
  }
}

zlib=(-DZLIB_INCLUDE_DIR="$sysroot/include" -DZLIB_LIBRARY="$sysroot/lib/libz.a")

# --- libpng ---------------------------------------------------------------
if ! stamped libpng; then
  log "building libpng"
  src=$(unpack libpng1.6)
  cmake_build "$src" libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXECUTABLES=ON "${zlib[@]}"
  stamp libpng
  outdate freeimage
fi

# --- libjpeg-turbo ----------------------------------------------------------
if ! stamped libjpeg; then
  log "building libjpeg-turbo"
  src=$(unpack libjpeg-turbo)
  cmake_build "$src" libjpeg-turbo -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
  stamp libjpeg
  outdate libtiff freeimage
fi

# --- libtiff ----------------------------------------------------------------
# Codecs: none, LZW, PackBits, deflate (zlib) and JPEG; the rarer ones are off.
if ! stamped libtiff; then
  log "building libtiff"
  src=$(unpack tiff)
  cmake_build "$src" tiff -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
    -Dtiff-docs=OFF -Dcxx=OFF -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djbig=OFF \
    -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlerc=OFF -Dlibdeflate=OFF -Dpixarlog=ON \
    "${zlib[@]}" -DJPEG_INCLUDE_DIR="$prefix/include" -DJPEG_LIBRARY="$prefix/lib/libjpeg.a"
  stamp libtiff
  outdate freeimage
fi

# --- FreeImage ----------------------------------------------------------------
# Debian's source has the bundled libraries removed. Its own makefiles build
# a shared library against system ones, so the static library is compiled
# here from the list of FreeImage's own sources, leaving out the plugins
# whose libraries are not built (OpenEXR, JPEG 2000, JPEG XR, WebP, RAW).
fi_left_out=(EXR J2K JP2 JXR RAW WEBP)
if ! stamped freeimage; then
  log "building FreeImage"
  src=$(unpack freeimage)
  work=$deps/work/freeimage
  # Only the 16-bit float conversion of the TIFF plugin came from OpenEXR.
  mkdir -p "$work/shim/Imath"
  cat >"$work/shim/Imath/half.h" <<'EOF'
// IEEE 754 half precision, just what FreeImage's TIFF plugin uses.
#pragma once
#include <cstring>
class half {
public:
  void setBits(unsigned short bits) { bits_ = bits; }
  operator float() const {
    unsigned sign = (bits_ & 0x8000u) << 16, exponent = (bits_ >> 10) & 0x1f,
             mantissa = bits_ & 0x3ffu, out;
    if (exponent == 0x1f) {
      out = sign | 0x7f800000u | (mantissa << 13);
    } else if (exponent != 0) {
      out = sign | ((exponent + 112) << 23) | (mantissa << 13);
    } else if (mantissa == 0) {
      out = sign;
    } else {
      exponent = 113;
      while (!(mantissa & 0x400u)) { mantissa <<= 1; --exponent; }
      out = sign | (exponent << 23) | ((mantissa & 0x3ffu) << 13);
    }
    float value;
    std::memcpy(&value, &out, sizeof value);
    return value;
  }
private:
  unsigned short bits_ = 0;
};
EOF
  # The left-out plugins stay registered as names without a reader or writer,
  # so every FIF_ number still means what FreeImage.h says it means.
  {
    echo '#include "FreeImage.h"'
    echo '#include "Utilities.h"'
    echo '#include "Plugin.h"'
    for plugin in "${fi_left_out[@]}"; do
      case $plugin in
        WEBP) name=WebP ;;
        JXR) name=JPEG-XR ;;
        *) name=$plugin ;;
      esac
      echo "static const char *DLL_CALLCONV Format$plugin() { return \"$name\"; }"
      echo "static const char *DLL_CALLCONV Description$plugin() { return \"$name (not built in)\"; }"
      echo "static const char *DLL_CALLCONV Extension$plugin() { return \"\"; }"
      echo "void DLL_CALLCONV Init$plugin(Plugin *plugin, int) {"
      echo "  plugin->format_proc = Format$plugin;"
      echo "  plugin->description_proc = Description$plugin;"
      echo "  plugin->extension_proc = Extension$plugin;"
      echo "}"
    done
  } >"$src/Source/FreeImage/PluginsLeftOut.cpp"
  sources=()
  while IFS= read -r file; do
    case $(basename "$file") in
      J2KHelper.cpp | PluginEXR.cpp | PluginJ2K.cpp | PluginJP2.cpp | PluginJXR.cpp | \
        PluginRAW.cpp | PluginWebP.cpp) ;;
      *) sources+=("${file#"$src"/}") ;;
    esac
  done < <(find "$src/Source/FreeImage" "$src/Source/Metadata" "$src/Source/FreeImageToolkit" \
    -name '*.c' -o -name '*.cpp' | sort)
  {
    echo "CC = $triple-gcc-posix"
    echo "CXX = $triple-g++-posix"
    echo "AR = $triple-ar"
    echo "DEFS = -DFREEIMAGE_LIB -DNDEBUG -DWINVER=0x0601 -DDISABLE_PERF_MEASUREMENT"
    echo "INCS = -I$src/Source -I$src/Source/Metadata -I$src/Source/FreeImageToolkit" \
      "-I$work/shim -I$prefix/include -I$sysroot/include"
    echo 'CFLAGS = -O2 -fexceptions $(DEFS) $(INCS) -w'
    echo 'CXXFLAGS = -O2 -fexceptions -std=c++14 $(DEFS) $(INCS) -w'
    echo "SRC = $src"
    printf 'OBJS = %s\n' "$(printf 'obj/%s.o ' "${sources[@]}")"
    echo 'libfreeimage.a: $(OBJS)'
    printf '\trm -f $@ && $(AR) rcs $@ $(OBJS)\n'
    echo 'obj/%.c.o: $(SRC)/%.c'
    printf '\t@mkdir -p $(dir $@) && $(CC) $(CFLAGS) -c $< -o $@\n'
    echo 'obj/%.cpp.o: $(SRC)/%.cpp'
    printf '\t@mkdir -p $(dir $@) && $(CXX) $(CXXFLAGS) -c $< -o $@\n'
  } >"$work/Makefile"
  nice make -C "$work" -j"$jobs" >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
  }
  cp "$work/libfreeimage.a" "$prefix/lib/libfreeimage.a"
  # The prefix holds the static library only, so its header says so itself.
  { printf '#ifndef FREEIMAGE_LIB\n#define FREEIMAGE_LIB\n#endif\n'; cat "$src/Source/FreeImage.h"; } \
    >"$prefix/include/FreeImage.h"
  printf '%s\n' "${fi_left_out[@]}" >"$prefix/lib/freeimage-plugins-left-out.txt"
  stamp freeimage
fi

log "static libraries in $prefix/lib:"
for library in "$prefix"/lib/*.a; do
  [[ -L $library ]] || printf '  %-16s %9d bytes\n' "$(basename "$library")" "$(stat -c %s "$library")"
done

# --- Check --------------------------------------------------------------------
# A small program linked against the prefix, run under Wine: it lists the
# FreeImage plugins and round-trips a picture through PNG, TIFF, Targa, BMP
# and JPEG. Wine keeps its own settings folder under deps/ unless WINEPREFIX
# is given.
smoke=$deps/smoke
mkdir -p "$smoke"
if [[ ! -f $smoke/smoke.exe || $repo/scripts/windows-deps-smoke.cpp -nt $smoke/smoke.exe ||
  $stamps/freeimage -nt $smoke/smoke.exe ]]; then
  $triple-g++-posix -std=c++20 -O1 -Wall -Wextra -Werror -I"$prefix/include" \
    "$repo/scripts/windows-deps-smoke.cpp" -o "$smoke/smoke.exe" -static \
    -L"$prefix/lib" -lfreeimage -ltiff -lpng16 -ljpeg -lz
fi
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
log "running the check under Wine"
if (cd "$smoke" && WINEPREFIX=${WINEPREFIX:-$deps/wine} WINEDEBUG=-all \
  timeout 300 "$wine" smoke.exe 2>"$smoke/wine.log" | tr -d '\r' >"$smoke/output.txt"); then
  sed 's/^/  /' "$smoke/output.txt"
else
  sed 's/^/  /' "$smoke/output.txt" >&2
  echo "build-windows-deps: the check failed under Wine (see $smoke/wine.log)" >&2
  exit 1
fi
