#!/usr/bin/env bash
# Runs every benchmark program of a build.
set -euo pipefail
build=$1
shopt -s nullglob
for b in "$build"/benchmarks/bench_*; do
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
