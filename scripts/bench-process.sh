#!/usr/bin/env bash
# Whole-process figures, each against a public reference run side by side: the two commands
# alternate (A B A B ...), each pair gives a ratio, and the medians are printed. Wall times are
# read around each process; peak memory is GNU time's maximum resident set.
#
#   tekutool --help                       against `true`            (goal: A <= 1.5 B + 5 ms)
#   tekutool decode of a 3000 x 2000 4:2:0 quality-90 JPEG to a BMP in a memory-backed folder
#                                         against `djpeg -dct int -outfile /dev/null` (goal 2.0)
#   tekutool resave of the largest puzzle (256 x 240, every text), in the same folder
#                                         beside `true`             (goal: A < 60 ms)
#   the program to its first paint (TEKU_EXIT_AFTER_FIRST_PAINT=1) against the benchmark build's
#   bare Qt window with the same menu titles, under one Xvfb   (goals: 1.5, peak memory 1.4)
#
# usage: bench-process.sh PROGRAM_DIR BENCH_BUILD_DIR [RUNS]
set -euo pipefail
program=$(cd "$1" && pwd)
bench=$(cd "$2" && pwd)
runs=${3:-11}
bare="$bench/benchmarks/bare_window"
gnu_time=/usr/bin/time
true_cmd=$(type -P true)  # the program, not the shell's builtin
for tool in djpeg cjpeg convert "$gnu_time"; do
  command -v "$tool" >/dev/null || { echo "bench-process: $tool is missing (scripts/install-deps.sh)"; exit 1; }
done
[ -x "$bare" ] || { echo "bench-process: no $bare (build the benchmarks first)"; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

# A memory-backed folder, so that the figures are the processes' and not the disk's.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${XDG_RUNTIME_DIR:-/tmp}
work=$(mktemp -d "$base/teku-bench-process.XXXXXX")
trap 'rm -rf "$work"' EXIT

# ---- inputs ------------------------------------------------------------------------------------
convert -seed 7 -size 3000x2000 plasma:fractal -blur 0x1 -depth 8 "ppm:$work/big.ppm"
cjpeg -quality 90 -sample 2x2 -outfile "$work/big.jpg" "$work/big.ppm"
rm -f "$work/big.ppm"

# The largest puzzle: 256 x 240 cells, every character and both clues of every entry (code
# page 932 text, CRLF lines), as the program writes it.
awk 'BEGIN {
  ORS = "\r\n"
  print "[TEKUCROSE]"; print "WIDTH=256"; print "HEIGHT=240"
  print "TITLE=\202\261\202\352\202\315\215\305\221\345\202\314\226\342\221\350"
  print "VERSION=011"; print "PASSWORD="; print "GAMEMODE=NANKURO"
  list = ""; for (i = 0; i < 32; i++) list = list (i ? "," : "") 255; print "KAITOU=" list
  list = ""; for (i = 0; i < 32; i++) list = list (i ? "," : "") 256; print "SYOKI=" list
  for (t = 0; t < 1920; t++) {
    list = ""; for (j = 0; j < 32; j++) list = list (j ? "," : "") (1 + (t * 32 + j) % 254)
    print "TABLE" t "=" list
  }
  for (n = 0; n < 8; n++) {
    list = ""; for (j = 0; j < 32; j++) list = list (j ? "," : "") ((n * 32 + j) * 200 + 1)
    print "HINTTBL" n "=" list
  }
  for (n = 0; n < 256; n++) print "MOJITBL" n "=\203\101"
  for (n = 0; n < 8; n++) {
    list = ""; for (j = 0; j < 32; j++) list = list (j ? "," : "") (n * 32 + j)
    print "ANSERTBL" n "=" list
  }
  for (n = 0; n < 256; n++) print "HINTTATE" n "=\202\275\202\304\202\314\203\161\203\223\203\147" n
  for (n = 0; n < 256; n++) print "HINTYOKO" n "=\202\346\202\261\202\314\203\161\203\223\203\147" n
}' > "$work/BIG.CRS"

# ---- measuring ---------------------------------------------------------------------------------
# The shell's own clock: reading it starts no process.
now_ns() { local t=${EPOCHREALTIME/[.,]/}; echo "${t}000"; }
calc() { awk "BEGIN { printf \"%.4f\n\", $1 }"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Wall milliseconds of one run of "$@", its output thrown away.
wall_ms() {
  local start=${EPOCHREALTIME/[.,]/} end
  "$@" >/dev/null 2>&1 || true
  end=${EPOCHREALTIME/[.,]/}
  calc "($end - $start) / 1e3"
}

# Peak resident memory (MiB) of one run of "$@" under GNU time.
peak_mib() {
  "$gnu_time" -f %M -o "$work/peak" "$@" >/dev/null 2>&1 || true
  calc "$(tail -n 1 "$work/peak") / 1024"
}

# compare NAME A-COMMAND -- B-COMMAND: alternating runs, the medians of A, B and A/B, and the
# median peak memory of three further runs of each.
compare() {
  local name=$1; shift
  local a=() b=()
  while [ "$1" != "--" ]; do a+=("$1"); shift; done
  shift
  b=("$@")
  : >"$work/a" ; : >"$work/b" ; : >"$work/r"
  "${a[@]}" >/dev/null 2>&1 || true  # one unmeasured run of each, for the file cache
  "${b[@]}" >/dev/null 2>&1 || true
  for _ in $(seq "$runs"); do
    local ta tb
    ta=$(wall_ms "${a[@]}"); tb=$(wall_ms "${b[@]}")
    echo "$ta" >>"$work/a"; echo "$tb" >>"$work/b"
    calc "$ta / $tb" >>"$work/r"
  done
  local pa=() pb=()
  for _ in 1 2 3; do pa+=("$(peak_mib "${a[@]}")"); pb+=("$(peak_mib "${b[@]}")"); done
  printf '%-34s A %8.1f ms %6.1f MiB | B %8.1f ms %6.1f MiB | A/B %5.2f (median of %d pairs)\n' "$name" \
    "$(median <"$work/a")" "$(printf '%s\n' "${pa[@]}" | median)" \
    "$(median <"$work/b")" "$(printf '%s\n' "${pb[@]}" | median)" "$(median <"$work/r")" "$runs"
}

cd "$work"
echo "== whole processes: A against B, side by side ($runs alternating pairs, medians)"
compare "tekutool --help / true" "$program/tekutool" --help -- "$true_cmd"
help_a=$(median <"$work/a"); help_b=$(median <"$work/b")
printf '   goal: A <= 1.5 B + 5 ms = %.1f ms (A is %.1f ms)\n' "$(calc "1.5 * $help_b + 5")" "$help_a"
compare "decode 3000x2000 / djpeg -dct int" "$program/tekutool" decode big.jpg out.bmp -- \
  djpeg -dct int -outfile /dev/null big.jpg
echo "   goal: A/B <= 2.0 (stretch 1.5)"
compare "resave 256x240 / true" "$program/tekutool" resave BIG.CRS OUT.CRS -- "$true_cmd"
printf '   goal: A < 60 ms (A is %.1f ms)\n' "$(median <"$work/a")"

# ---- the first paint ---------------------------------------------------------------------------
# Both report the wall clock at their first paint on stderr and quit there; the time to it is
# taken from the moment each process is started.
first_paint() {  # prints: ms-to-first-paint peak-MiB
  local start painted
  start=$(now_ns)
  (cd "$program" && TEKU_EXIT_AFTER_FIRST_PAINT=1 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} QT_QPA_PLATFORM=xcb \
     "$gnu_time" -f %M -o "$work/peak" "$@" >/dev/null 2>"$work/err") || true
  painted=$(grep -o 'at_ns=[0-9]*' "$work/err" | cut -d= -f2)
  if [ -z "$painted" ]; then echo "bench-process: no first paint from $*" >&2; cat "$work/err" >&2; exit 1; fi
  echo "$(calc "($painted - $start) / 1e6") $(calc "$(tail -n 1 "$work/peak") / 1024")"
}
: >"$work/pa"; : >"$work/pb"; : >"$work/pr"; : >"$work/ma"; : >"$work/mb"; : >"$work/mr"
first_paint "$program/TEKUCROS.EXE" >/dev/null; first_paint "$bare" >/dev/null
for _ in $(seq "$runs"); do
  read -r ta ma < <(first_paint "$program/TEKUCROS.EXE")
  read -r tb mb < <(first_paint "$bare")
  echo "$ta" >>"$work/pa"; echo "$tb" >>"$work/pb"; calc "$ta / $tb" >>"$work/pr"
  echo "$ma" >>"$work/ma"; echo "$mb" >>"$work/mb"; calc "$ma / $mb" >>"$work/mr"
done
printf '%-34s A %8.1f ms | B %8.1f ms | A/B %5.2f (median of %d pairs; goal 1.5)\n' \
  "first paint / bare Qt window" "$(median <"$work/pa")" "$(median <"$work/pb")" "$(median <"$work/pr")" "$runs"
printf '%-34s A %8.1f MiB | B %7.1f MiB | A/B %5.2f (median of %d pairs; goal 1.4)\n' \
  "peak memory / bare Qt window" "$(median <"$work/ma")" "$(median <"$work/mb")" "$(median <"$work/mr")" "$runs"
