#!/usr/bin/env bash
# A player who keeps the hands on the keyboard, under Xvfb: SAMPLE1 is opened from the menu by
# its access keys and solved by the arrow keys and katakana typed into the grid, three entries
# are undone and redone, the view is zoomed to 200 % and the answer is checked. Screenshots go
# to OUTDIR; the run fails unless the check says the puzzle is solved.
# usage: look-keyboard.sh PROGRAM_DIR OUTDIR
set -uo pipefail
# A fresh program folder: no settings yet, as on the first start.
source "$(dirname "$0")/look-fresh.sh" "$@"
source "$(dirname "$0")/xvfb-session.sh"

# What to type where: each number's answer character, on the first cell of that number that is
# not a given one (a given cell takes only the character it shows, so it serves when the number
# has no other cell).
info=$("$session_dir/tekutool" info "$session_dir/SAMPLE1.CRS")
list() { printf '%s' "$info" | grep -o "\"$1\":\[[^]]*\]" | sed 's/^[^[]*\[//; s/\]$//' | tr ',' '\n'; }
mapfile -t anser < <(list anser)
mapfile -t syoki < <(list syoki)
mapfile -t moji < <(list moji | sed 's/^"//; s/"$//')
width=$(printf '%s' "$info" | grep -o '"width":[0-9]*' | cut -d: -f2)
height=$(printf '%s' "$info" | grep -o '"height":[0-9]*' | cut -d: -f2)
mapfile -t rows < <(printf '%s' "$info" | grep -o '"cells":\[\[.*\]\]' | sed 's/^"cells":\[\[//; s/\]\]$//; s/\],\[/\n/g')
declare -A given=() at=() fallback=()
for s in "${syoki[@]}"; do given[$s]=1; done
for ((y = 0; y < height; y++)); do
  IFS=, read -ra row <<< "${rows[$y]}"
  for ((x = 0; x < width; x++)); do
    n=${row[$x]}
    ((n >= 1 && n <= 254)) || continue
    if [ -n "${given[$((y * width + x))]:-}" ]; then
      [ -n "${fallback[$n]:-}" ] || fallback[$n]="$x $y"
    elif [ -z "${at[$n]:-}" ]; then
      at[$n]="$x $y"
    fi
  done
done
for n in "${!fallback[@]}"; do [ -n "${at[$n]:-}" ] || at[$n]=${fallback[$n]}; done

main=$(win 'ナンクロ支援')
[ -n "$main" ] || { echo "look-keyboard: the main window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$main" 2>/dev/null; sleep 0.3
# ﾌｧｲﾙ(F) 開く(O), the file named in the chooser.
xdotool key alt+f o; sleep 0.8
xdotool type SAMPLE1.CRS; xdotool key Return; sleep 1
main=$(win 'SAMPLE1')
shot 01-opened

# Every cell reached from the top-left corner: up and Home to it, then down and right.
ups=$(printf 'Up %.0s' $(seq "$height"))
entries=0
for n in $(printf '%s\n' "${!at[@]}" | sort -n); do
  a=${anser[$n]}
  ((a >= 1 && a <= 254)) || continue
  read -r x y <<< "${at[$n]}"
  keys="$ups Home"
  for ((i = 0; i < y; i++)); do keys+=" Down"; done
  for ((i = 0; i < x; i++)); do keys+=" Right"; done
  # shellcheck disable=SC2086
  xdotool key --delay 4 $keys
  xdotool type --delay 150 "${moji[$a]}"
  # xdotool lends the character a spare key for the moment: the program must have read it
  # before the next character takes the key over.
  sleep 0.4
  entries=$((entries + 1))
  [ "$entries" = 20 ] && shot 02-typing
done
sleep 0.5
shot 03-all-entered

# Three entries taken back (元に戻す) and made again (やり直す).
xdotool key ctrl+z ctrl+z ctrl+z; sleep 0.5
shot 04-three-undone
xdotool key ctrl+y ctrl+y ctrl+y; sleep 0.5
shot 05-redone

# 200 %: two steps of 拡大.
xdotool key ctrl+equal; sleep 0.5
xdotool key ctrl+equal; sleep 0.8
shot 06-zoom-200

# ﾌｧｲﾙ(F) 終了確認(C).
xdotool key alt+f c; sleep 0.8
shot 07-checked
caption=$(xdotool getwindowname "$main")
echo "entries typed: $entries"
echo "caption: $caption"
end_session
# The entries are not saved, so the caption carries the mark in front of it.
[ "${caption#\*}" = "おめでとう！正解です。" ]
