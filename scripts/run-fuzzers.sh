#!/usr/bin/env bash
# Replays each fuzz target's committed corpus, then fuzzes it for a bounded time.
# usage: run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
build=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$build"/fuzzers/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzzers: no fuzz targets built"
  exit 0
fi
passed=0
for t in "${targets[@]}"; do
  name=$(basename "$t")
  seeds="$root/fuzz/corpus/$name"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$seeds"
  echo "== $name: replaying $(ls "$seeds" | wc -l) seeds, then fuzzing ${seconds}s"
  "$t" -runs=0 "$seeds" >"$work/replay.log" 2>&1 || { cat "$work/replay.log"; exit 1; }
  cp -r "$seeds"/. "$work/" 2>/dev/null || true
  "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=0 "$work" >"$work/fuzz.log" 2>&1 || { tail -n 60 "$work/fuzz.log"; exit 1; }
  rm -rf "$work"
  trap - EXIT
  passed=$((passed + 1))
done
echo "fuzz: $passed passed, 0 failed"
