#!/usr/bin/env bash
# Runs every fuzz target briefly on its seeds (CI's smoke step): a finding
# fails the step. Usage: fuzz/smoke.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
mkdir -p build-fuzz
for source in fuzz/*_fuzz.cpp; do
  target=$(basename "$source" _fuzz.cpp)
  work=build-fuzz/smoke-$target
  rm -rf "$work"
  echo "fuzz smoke: $target, ${seconds} s"
  bash fuzz/run_fuzz.sh "$target" "$seconds" "$work" >"$work.log" 2>&1 || {
    tail -n 60 "$work.log"
    echo "fuzz smoke: $target failed (log: $work.log)"
    exit 1
  }
  grep -E "^(stat::number_of_executed_runs|Done )" "$work.log" | tr '\n' ' '
  echo
done
