#!/usr/bin/env bash
# Checks that the modules under src/ depend only on the modules below them.
#
# LAYERS lists the modules bottom first: a file in src/<module>/ may include
# "<module>/..." and "<lower module>/...", nothing above it and no folder
# that is not a module. Third-party headers belong to one module each:
# FreeImage and libtiff to image; cairo, Pango and fontconfig to drawing;
# glib to platform (the Unicode case mapping and the library log on Linux)
# and drawing.
#
# Usage: scripts/check-layers.sh [source folder; default: the src/ of this checkout]
# Prints one line per violation, "file:line: <module> may not include <what>",
# and exits 1 when there is any, 0 when there is none.
set -euo pipefail

LAYERS="base platform settings pcd image drawing ops convert job app"

if [[ $# -gt 0 ]]; then
  src=${1%/}
else
  cd "$(dirname "$0")/.."
  src=src
fi
[[ -d $src ]] || { echo "check-layers: no folder $src" >&2; exit 2; }

find "$src" -type f | LC_ALL=C sort | {
  # One file name per line on stdin; awk reads them with getline so that a
  # file with no lines at all still counts (and nothing is run per file).
  awk -v layers="$LAYERS" -v src="$src" '
    BEGIN {
      n = split(layers, order, " ")
      for (i = 1; i <= n; ++i) rank[order[i]] = i
      bad = 0
      while ((getline file < "/dev/stdin") > 0) check(file)
      exit bad > 0 ? 1 : 0
    }

    function report(file, line, module, what) {
      printf "%s:%d: %s may not include %s\n", file, line, module, what
      ++bad
    }

    # The module a third-party header belongs to ("platform drawing" for glib),
    # "" for any other header.
    function owner(header) {
      if (header ~ /^(FreeImage\.h|tiffio\.h|tiff\.h|tiffconf\.h|tiffvers\.h)$/) return "image"
      if (header ~ /^(cairo[^\/]*\.h|cairo\/|pango\/|pangocairo|fontconfig\/)/) return "drawing"
      if (header ~ /^(glib\.h|glib-object\.h|glib\/|gobject\/)/) return "platform drawing"
      return ""
    }

    function check(file,    rel, module, lineNo, text, header, quoted, other, allowed) {
      rel = substr(file, length(src) + 2)
      module = rel
      sub(/\/.*/, "", module)
      if (!(module in rank) || rel !~ /\//) {
        report(file, 0, module, "anything (" module " is not a module)")
        return
      }
      lineNo = 0
      while ((getline text < file) > 0) {
        ++lineNo
        if (text !~ /^[ \t]*#[ \t]*include[ \t]*[<"]/) continue
        quoted = text ~ /^[ \t]*#[ \t]*include[ \t]*"/
        header = text
        sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", header)
        sub(/[>"].*$/, "", header)
        allowed = owner(header)
        if (allowed != "") {
          if ((" " allowed " ") !~ (" " module " "))
            report(file, lineNo, module, (quoted ? "\"" header "\"" : "<" header ">"))
          continue
        }
        if (!quoted || header !~ /\//) continue
        other = header
        sub(/\/.*/, "", other)
        if (!(other in rank)) report(file, lineNo, module, other " (no such module)")
        else if (rank[other] > rank[module]) report(file, lineNo, module, other)
      }
      close(file)
    }
  '
}
