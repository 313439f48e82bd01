#!/usr/bin/env bash
# Checks that the README's gallery still matches its command lines: makes
# every picture again with scripts/make-gallery.sh into a temporary folder
# and compares it byte for byte with the one in docs/gallery/, and compares
# the README's Gallery section with the one the script prints.
#   scripts/check-gallery.sh [build-folder]   (default: build)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../build}" && pwd)
cd "$(dirname "$0")/.."
fresh=$(mktemp -d "${TMPDIR:-/tmp}/quorbix-gallery-check.XXXXXX")
trap 'rm -rf "$fresh"' EXIT

bash scripts/make-gallery.sh "$build" "$fresh"

failed=0
for made in "$fresh"/*.png; do
  name=$(basename "$made")
  if [ ! -f "docs/gallery/$name" ]; then
    echo "gallery: docs/gallery/$name is not committed (scripts/make-gallery.sh makes it)" >&2
    failed=1
  elif ! cmp -s "$made" "docs/gallery/$name"; then
    echo "gallery: docs/gallery/$name differs from what its command line makes now" >&2
    failed=1
  fi
done
for kept in docs/gallery/*.png; do
  [ -e "$kept" ] || continue
  if [ ! -f "$fresh/$(basename "$kept")" ]; then
    echo "gallery: $kept is no longer made by scripts/make-gallery.sh" >&2
    failed=1
  fi
done

# The section from its heading up to the next heading of the same level.
section=$(awk '/^## Gallery$/ { on = 1; print; next } on && /^## / { exit } on' README.md)
if [ "$section" != "$(bash scripts/make-gallery.sh --readme)" ]; then
  echo "gallery: README.md's Gallery section is not what scripts/make-gallery.sh --readme prints" >&2
  diff <(printf '%s\n' "$section") <(bash scripts/make-gallery.sh --readme) >&2 || true
  failed=1
fi

if [ "$failed" = 0 ]; then echo "gallery: every picture matches its command line"; fi
exit "$failed"
