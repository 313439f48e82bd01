#!/usr/bin/env bash
# Builds the Debian package (scripts/build-deb.sh), lets lintian check it
# (an error fails, warnings are shown), unpacks it into a temporary root and
# runs the unpacked program from there: `quorbix -v`, and a conversion of
# the project-made sample, for which quorbix must find the unpacked converter
# beside itself through the usr/bin link (PATH holds only a decoy `convert`
# that notes being called: quorbix would fall back to it, or to FreeImage's
# own PhotoCD loader, and still convert).
# Usage: scripts/check-package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}
bash scripts/build-deb.sh "$build"

fail() { echo "check-package: $*" >&2; exit 1; }
version=$(sed -n 's/^project(quorbix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/quorbix_${version}-1_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $deb"

echo "== lintian $deb"
lintian --fail-on error "$deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

echo "== contents"
[[ $(readlink "$root/usr/bin/quorbix") == ../lib/quorbix/quorbix ]] ||
  fail "usr/bin/quorbix is not a link to ../lib/quorbix/quorbix"
for program in quorbix convert; do
  file "$root/usr/lib/quorbix/$program" | grep -q ', stripped' ||
    fail "usr/lib/quorbix/$program is missing or not stripped"
done
expected=(usr/share/doc/quorbix/copyright usr/share/doc/quorbix/changelog.Debian.gz
  usr/share/doc/quorbix/README.md.gz)
# The manual page and the completion, once their sources are in the tree.
[[ -f docs/quorbix.1 ]] && expected+=(usr/share/man/man1/quorbix.1.gz)
[[ -f completion/quorbix.bash ]] && expected+=(usr/share/bash-completion/completions/quorbix)
for f in "${expected[@]}"; do
  [[ -f $root/$f ]] || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in fonts-liberation libc6 libfreeimage3; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

echo "== unpacked quorbix -v"
# Its own lock folder, so that no other quorbix of this user stops the run.
mkdir -m 700 "$work/runtime" "$work/decoy"
printf '#!/bin/sh\necho called >"%s"\nexit 1\n' "$work/decoy-called" >"$work/decoy/convert"
chmod +x "$work/decoy/convert"
run() { env -i HOME="$work" XDG_RUNTIME_DIR="$work/runtime" PATH="$work/decoy" \
  "$root/usr/bin/quorbix" "$@"; }
shown=$(run -v)
[[ $shown == "$version" ]] || fail "quorbix -v printed '$shown', not $version"
echo "$shown"

echo "== unpacked quorbix converts the sample"
mkdir "$work/in" "$work/out"
"$build/make-sample-pcd" "$work/in/sample.pcd" --top 16base
run -i "$work/in" -o "$work/out" -d | tee "$work/log"
last=$(tail -n 1 "$work/log")
[[ $last == "Files converted: 1 of 1" ]] || fail "last line is '$last'"
saved=$(sed -n 's/^Saving As: //p' "$work/log")
[[ -n $saved && -f $saved ]] && file "$saved" | grep -q 'TIFF image' ||
  fail "no TIFF written (Saving As: '$saved')"
[[ ! -e $work/decoy-called ]] || fail "quorbix ran the convert on PATH, not its own"
echo "check-package: OK ($deb)"
