#!/usr/bin/env bash
# Builds the image libraries of the Windows edition as static MinGW-w64
# libraries: libpng, libjpeg-turbo, libtiff and FreeImage, Little CMS for
# the colour profile, and pixman and cairo for the shape drawing, from
# Debian 12's own source packages (with Debian's patches), against Debian's
# MinGW zlib.
#
#   scripts/build-windows-deps.sh [build-folder]     (default build-windows)
#
# Everything lands in <build-folder>/deps: the fetched sources in src/, the
# work trees in work/, the result in prefix/ (include/, lib/, and pkg-config
# files in lib/pkgconfig/ for lcms2, pixman-1 and cairo). Each library
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

for tool in $triple-gcc-posix $triple-g++-posix apt-get dpkg-source cmake make pkg-config; do
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
# Source package and the stamp of the library built from it.
packages=(libpng1.6:libpng libjpeg-turbo:libjpeg tiff:libtiff freeimage:freeimage
  lcms2:lcms2 pixman:pixman cairo:cairo)
# The mirror has no Debian diff for pixman 0.42.2-1; Debian's changelog for
# that version drops its one patch as fixed upstream, so the upstream source
# that the .dsc names is what Debian builds. Only these packages may go
# without their Debian diff.
upstream_only_ok=(pixman)

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

# The files a .dsc names that are not in src/.
missing_files() {
  awk '/^Files:/ { f = 1; next } /^[^ ]/ { f = 0 } f && NF == 3 { print $3 }' "$1" |
    while read -r file; do [[ -f $deps/src/$file ]] || echo "$file"; done
}

# A package's sources are complete when every file of its .dsc is there, or
# all but the Debian diff where that is allowed.
sources_complete() {
  local package=$1 dsc missing
  dsc=$(ls "$deps/src/${package}_"*.dsc 2>/dev/null | sort -V | tail -n 1)
  [[ -n $dsc ]] || return 1
  missing=$(missing_files "$dsc")
  [[ -z $missing ]] && return 0
  [[ " ${upstream_only_ok[*]} " == *" $package "* ]] &&
    ! grep -qv '\.diff\.gz$' <<<"$missing"
}

fetch_sources() {
  local mirror package
  mirror=$(debian_mirror)
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "deb-src $mirror bookworm main" >"$apt_dir/sources.list"
  log "fetching the source packages $*"
  apt-get "${apt_opts[@]}" -qq update
  for package in "$@"; do
    (cd "$deps/src" && apt-get "${apt_opts[@]}" -qq source --download-only "$package" \
      2>"$apt_dir/$package.log") || true
    sources_complete "$package" || {
      cat "$apt_dir/$package.log" >&2
      echo "build-windows-deps: could not fetch the source package $package" >&2
      return 1
    }
  done
}
# Sources are fetched only for the libraries not built yet.
wanted=()
for entry in "${packages[@]}"; do
  stamped "${entry#*:}" || sources_complete "${entry%%:*}" || wanted+=("${entry%%:*}")
done
((${#wanted[@]} == 0)) || fetch_sources "${wanted[@]}"

# Unpacks a source package (dpkg-source applies Debian's patches) into a
# fresh work tree and prints its path. apt-get has already checked the files
# against the archive's signed index, hence --no-check. A package allowed to
# go without its Debian diff is unpacked from its upstream tarball.
unpack() {
  local package=$1 dsc
  dsc=$(ls "$deps/src/${package}_"*.dsc | sort -V | tail -n 1)
  rm -rf "$deps/work/$package"
  mkdir -p "$deps/work/$package"
  if [[ -z $(missing_files "$dsc") ]]; then
    dpkg-source --no-check -x "$dsc" "$deps/work/$package/source" >/dev/null || return 1
  else
    log "$package: no Debian diff on the mirror, building the upstream source its .dsc names" >&2
    mkdir "$deps/work/$package/source"
    tar -xf "$(ls "$deps/src/${package}_"*.orig.tar.* | head -n 1)" \
      -C "$deps/work/$package/source" --strip-components=1 || return 1
  fi
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

# --- Little CMS, pixman and cairo -----------------------------------------------
# With their own configure scripts, as Debian builds them, -O2 and the SIMD
# choice of the package itself (pixman picks MMX, SSE2 or SSSE3 code at run
# time, as on Linux). Only the library folders are built; pkg-config sees
# the prefix only, never the build machine's libraries.
autotools_build() {
  local source=$1 name=$2
  shift 2
  local work=$deps/work/$name
  mkdir -p "$work/build"
  (cd "$work/build" && PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH='' \
    "$source/configure" --host=$triple --prefix="$prefix" --disable-shared --enable-static \
    CC=$triple-gcc-posix CXX=$triple-g++-posix AR=$triple-ar RANLIB=$triple-ranlib \
    "$@" >"$work/configure.log" 2>&1) || {
    tail -n 40 "$work/configure.log" >&2
    return 1
  }
}
autotools_install() {
  local name=$1
  shift
  nice make -C "$deps/work/$name/build" -j"$jobs" "$@" >>"$deps/work/$name/build.log" 2>&1 || {
    tail -n 40 "$deps/work/$name/build.log" >&2
    return 1
  }
}

# Little CMS: the library and its headers only, without its tools (and so
# without the JPEG and TIFF libraries they read with). Threads stay on: on
# Windows its mutexes are then critical sections.
if ! stamped lcms2; then
  log "building Little CMS"
  started=$SECONDS
  src=$(unpack lcms2)
  autotools_build "$src" lcms2 CFLAGS=-O2 --without-jpeg --without-tiff
  autotools_install lcms2 -C src install
  autotools_install lcms2 -C include install
  autotools_install lcms2 install-pkgconfigDATA
  rm -f "$prefix/lib/liblcms2.la"
  log "built Little CMS in $((SECONDS - started)) s"
  stamp lcms2
fi

if ! stamped pixman; then
  log "building pixman"
  started=$SECONDS
  src=$(unpack pixman)
  autotools_build "$src" pixman CFLAGS=-O2 --disable-openmp --disable-gtk --disable-libpng
  autotools_install pixman -C pixman install
  autotools_install pixman install-pkgconfigDATA
  rm -f "$prefix/lib/libpixman-1.la"
  log "built pixman in $((SECONDS - started)) s"
  stamp pixman
  outdate cairo
fi

# cairo for its image surface only: paths, fills, anti-aliasing and
# compositing. Every other surface, font backend and tool is off (text is
# drawn by other means on Windows); mutexes are Windows critical sections.
if ! stamped cairo; then
  log "building cairo"
  started=$SECONDS
  src=$(unpack cairo)
  # Debian's patches touch configure.ac and Makefile.am (for its own shared
  # build); the shipped configure and Makefile.in serve this build, so they
  # are made as new as their inputs and make does not run autotools.
  now=$(date +%s)
  find "$src" \( -name Makefile.in -o -name configure -o -name aclocal.m4 -o -name config.h.in \) \
    -exec touch -d "@$now" {} +
  off=()
  for feature in xlib xlib-xrender xcb xlib-xcb xcb-shm qt quartz quartz-font quartz-image \
    win32 win32-font os2 beos drm gallium png gl glesv2 glesv3 cogl directfb vg egl glx wgl \
    script ft fc ps pdf svg test-surfaces tee xml pthread gobject trace interpreter \
    symbol-lookup valgrind gtk-doc; do
    off+=(--disable-"$feature")
  done
  # The warning flags cairo's configure adds turn on _FORTIFY_SOURCE, which
  # with MinGW would make every consumer link libssp: turned off again.
  autotools_build "$src" cairo "CFLAGS=-O2 -Wp,-U_FORTIFY_SOURCE" "${off[@]}"
  # Without a Windows font backend or PDF, cairo 1.16 still compiles its
  # Windows file opening, which needs the UTF-8 to UTF-16 conversion.
  autotools_install cairo -C src install CPPFLAGS=-DCAIRO_HAS_UTF8_TO_UTF16=1
  rm -f "$prefix/lib/libcairo.la"
  # The prefix holds the static library only, so its header says so itself
  # (cairo.h would otherwise import its functions from a DLL under MSVC).
  features=$prefix/include/cairo/cairo-features.h
  sed -i 's|^#define CAIRO_FEATURES_H$|&\n\n#ifndef CAIRO_WIN32_STATIC_BUILD\n#define CAIRO_WIN32_STATIC_BUILD 1\n#endif|' "$features"
  grep -q '^#define CAIRO_WIN32_STATIC_BUILD 1$' "$features"
  sed -i 's|^Cflags: .*|& -DCAIRO_WIN32_STATIC_BUILD|' "$prefix/lib/pkgconfig/cairo.pc"
  log "built cairo in $((SECONDS - started)) s"
  stamp cairo
fi

log "static libraries in $prefix/lib:"
for library in "$prefix"/lib/*.a; do
  [[ -L $library ]] || printf '  %-16s %9d bytes\n' "$(basename "$library")" "$(stat -c %s "$library")"
done

# --- Check --------------------------------------------------------------------
# Two small programs linked against the prefix, run under Wine: the first
# lists the FreeImage plugins and round-trips a picture through PNG, TIFF,
# Targa, BMP and JPEG; the second draws anti-aliased shapes with cairo, and
# its pixels must be the ones the build machine's own cairo draws. Wine keeps
# its own settings folder under deps/ unless WINEPREFIX is given.
smoke=$deps/smoke
mkdir -p "$smoke"
if [[ ! -f $smoke/smoke.exe || $repo/scripts/windows-deps-smoke.cpp -nt $smoke/smoke.exe ||
  $stamps/freeimage -nt $smoke/smoke.exe ]]; then
  $triple-g++-posix -std=c++20 -O1 -Wall -Wextra -Werror -I"$prefix/include" \
    "$repo/scripts/windows-deps-smoke.cpp" -o "$smoke/smoke.exe" -static \
    -L"$prefix/lib" -lfreeimage -ltiff -lpng16 -ljpeg -lz
fi
cairo_smoke=$repo/scripts/windows-deps-cairo-smoke.cpp
if [[ ! -f $smoke/cairo-smoke.exe || $cairo_smoke -nt $smoke/cairo-smoke.exe ||
  $stamps/cairo -nt $smoke/cairo-smoke.exe ]]; then
  # What a consumer uses: the flags and libraries of the prefix's cairo.pc.
  read -ra cairo_flags < <(PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH='' \
    pkg-config --static --cflags --libs cairo)
  $triple-g++-posix -std=c++20 -O1 -Wall -Wextra -Werror "$cairo_smoke" -o "$smoke/cairo-smoke.exe" \
    -static "${cairo_flags[@]}"
fi
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
run_wine() {
  (cd "$smoke" && WINEDEBUG=-all \
    timeout 300 "$wine" "$1" 2>>"$smoke/wine.log" | tr -d '\r' >"$smoke/$2")
}
log "running the checks under Wine"
# One Wine server for both programs (one that exits between them can fail
# the second), ended after them.
export WINEPREFIX=${WINEPREFIX:-$deps/wine}
mkdir -p "$WINEPREFIX"
bash "$repo/scripts/wine-server.sh" start
if run_wine smoke.exe output.txt && run_wine cairo-smoke.exe cairo-output.txt; then
  bash "$repo/scripts/wine-server.sh" stop
  sed 's/^/  /' "$smoke/output.txt" "$smoke/cairo-output.txt"
else
  bash "$repo/scripts/wine-server.sh" stop
  cat "$smoke/output.txt" "$smoke/cairo-output.txt" 2>/dev/null | sed 's/^/  /' >&2
  echo "build-windows-deps: the check failed under Wine (see $smoke/wine.log)" >&2
  exit 1
fi
if command -v g++ >/dev/null && pkg-config --exists cairo; then
  read -ra native_flags < <(pkg-config --cflags --libs cairo)
  g++ -std=c++20 -O1 -Wall -Wextra -Werror "$cairo_smoke" -o "$smoke/cairo-smoke-linux" "${native_flags[@]}"
  "$smoke/cairo-smoke-linux" >"$smoke/cairo-output-linux.txt" || true
  if cmp -s "$smoke/cairo-output.txt" "$smoke/cairo-output-linux.txt"; then
    log "cairo draws the same pixels as this machine's cairo $(pkg-config --modversion cairo)"
  else
    sed 's/^/  Linux: /' "$smoke/cairo-output-linux.txt" >&2
    echo "build-windows-deps: cairo's pixels differ from this machine's cairo" >&2
    exit 1
  fi
else
  log "no native cairo (pkg-config cairo) to compare the pixels with"
fi
