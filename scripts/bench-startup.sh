#!/usr/bin/env bash
# Start-up cost of the program under Xvfb: wall time from process start to the first painted
# grid (the program reads the clock there and ends itself), median of 5 runs, the whole run
# including shut-down, and the resident memory at the first paint.
# usage: bench-startup.sh PROGRAM_DIR
set -euo pipefail
dir=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  (cd "$dir" && TEKU_EXIT_AFTER_FIRST_PAINT=1 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
     QT_QPA_PLATFORM=xcb ./TEKUCROS.EXE 2>"$tmp/err.txt")
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 )) >> "$tmp/whole.txt"
  painted=$(grep -o 'at_ns=[0-9]*' "$tmp/err.txt" | cut -d= -f2 || true)
  [ -n "$painted" ] && echo $(( (painted - start) / 1000000 )) >> "$tmp/times.txt"
  grep -o 'rss_kib=[0-9]*' "$tmp/err.txt" | cut -d= -f2 >> "$tmp/rss.txt" || true
done
median() { sort -n "$1" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "startup_to_first_paint_ms median=$(median "$tmp/times.txt") runs=$(paste -sd, "$tmp/times.txt")"
echo "startup_whole_run_ms median=$(median "$tmp/whole.txt") runs=$(paste -sd, "$tmp/whole.txt")"
echo "rss_at_first_paint_kib median=$(median "$tmp/rss.txt")"
