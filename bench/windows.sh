#!/usr/bin/env bash
# Files per second of the Windows edition under Wine against the Linux
# edition, in the same run, on one folder of N copies of the portrait sample
# (copied from ../shared/samples into a temporary folder; default jobs).
# Each edition converts the folder once to warm up, then R times; the best
# run counts. quorbix.exe and convert.exe run from a fresh folder of their own,
# in the private Wine prefix the end-to-end tests use (made on first use).
#   bench/windows.sh <windows-build-folder> [linux-build-folder=build] [files=20] [runs=3]
# Needs wine64 (scripts/setup.sh --windows).
set -euo pipefail
cd "$(dirname "$0")/.."
windows_build=$(realpath "$1")
linux_build=$(realpath "${2:-build}")
files=${3:-20}
runs=${4:-3}
sample=$(realpath ../shared/samples/portrait-16base.pcd)

wine=$(command -v wine64 || command -v wine || true)
[[ -z $wine && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
[[ -n $wine ]] || { echo "windows.sh: wine64 is missing" >&2; exit 2; }
export WINEPREFIX="$windows_build/wineprefix-e2e" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= LC_ALL=C.UTF-8
if [[ ! -d $WINEPREFIX/drive_c ]]; then
  (flock 9 && { [[ -d $WINEPREFIX/drive_c ]] || "$wine" wineboot --init >/dev/null 2>&1; }) 9>"$WINEPREFIX.lock" || true
fi

# One Wine server for every run, ended at the end.
bash scripts/wine-server.sh start
work=$(mktemp -d)
trap 'bash scripts/wine-server.sh stop; rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/app" "$work/run" "$work/tmp"
for i in $(seq -w 1 "$files"); do cp "$sample" "$work/in/p$i.pcd"; done
exe_folder=$windows_build
[[ ! -f $exe_folder/quorbix.exe && -f $windows_build/bin/quorbix.exe ]] && exe_folder=$windows_build/bin
cp "$exe_folder/quorbix.exe" "$exe_folder/convert.exe" "$work/app/"
export XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/tmp"
win_in="Z:${work//\//\\}\\in" win_out="Z:${work//\//\\}\\out"

# seconds <command...>: wall time of one run into a fresh out/; the number
# of files it wrote goes to converted.txt.
seconds() {
  rm -rf "$work/out" && mkdir "$work/out"
  local start end
  start=$(date +%s.%N)
  "$@" > "$work/lines.txt" 2>&1 </dev/null
  end=$(date +%s.%N)
  find "$work/out" -type f | wc -l > "$work/converted.txt"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' 
}
best() {
  local label=$1 best_time=""
  shift
  seconds "$@" >/dev/null
  for _ in $(seq 1 "$runs"); do
    local t
    t=$(seconds "$@")
    if [[ -z $best_time ]] || awk -v t="$t" -v b="$best_time" 'BEGIN { exit !(t < b) }'; then best_time=$t; fi
  done
  echo "$best_time"
}

# The files per second count the files the run converted (the last run's).
linux=$(best linux "$linux_build/quorbix" -q -i "$work/in" -o "$work/out")
linux_converted=$(cat "$work/converted.txt")
windows=$(best wine "$wine" "$work/app/quorbix.exe" -q -i "$win_in" -o "$win_out")
windows_converted=$(cat "$work/converted.txt")
echo "$files copies of $(basename "$sample"), best of $runs runs after one to warm up"
awk -v files="$files" -v linux="$linux" -v windows="$windows" \
    -v lc="$linux_converted" -v wc="$windows_converted" 'BEGIN {
  printf "%-28s %10s %8s %10s\n", "", "converted", "seconds", "files/s"
  printf "%-28s %10s %8.2f %10.2f\n", "Linux quorbix", lc " of " files, linux, lc / linux
  printf "%-28s %10s %8.2f %10.2f\n", "quorbix.exe under Wine", wc " of " files, windows, wc / windows
  if (lc == files && wc == files)
    printf "Wine / Linux files per second: %.2f (target: at least 0.50)\n", linux / windows
  else
    print "Not every file was converted: no ratio"
}' 
