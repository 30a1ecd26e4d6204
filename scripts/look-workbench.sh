#!/usr/bin/env bash
# An author's first puzzle from letters, under Xvfb, as a new user would make it: a 7 x 7 grid
# typed letter by letter in 文字で作成, numbered shuffled, a slip made in the character dialog
# (two numbers given one character), seen in the 検証 window and mended from there, saved,
# opened again in game mode and solved from the keyboard. Screenshots go to OUTDIR; the run
# fails unless the check window ended clean and the puzzle was saved and solved.
# usage: look-workbench.sh PROGRAM_DIR OUTDIR
set -uo pipefail
# A fresh program folder: no settings yet, as on the first start.
LOOK_REMOVE=MOJIGRID.CRS source "$(dirname "$0")/look-fresh.sh" "$@"
source "$(dirname "$0")/xvfb-session.sh"

rows=(
  "ササナ#サシウ"
  "カ#キアイ#シ"
  "キタタ#クウカ"
  "#サカシキウ#"
  "サナク#カクイ"
  "ア#キナナ#イ"
  "クウキ#アアク"
)

main=$(win 'ナンクロ支援')
[ -n "$main" ] || { echo "look-workbench: the main window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$main" 2>/dev/null; sleep 0.3
focus_main() { xdotool windowactivate --sync "$main" 2>/dev/null; sleep 0.3; }

# ﾓｰﾄﾞ 作成ﾓｰﾄﾞ, then ﾌｧｲﾙ 初めから: a 7 x 7 puzzle.
xdotool key alt+m c; sleep 0.5
xdotool key alt+f n; sleep 0.8
d=$(win '初期設定ダイアログ')
click "$d" 148 54 1; xdotool key ctrl+a; xdotool type 7
click "$d" 211 54 1; xdotool key ctrl+a; xdotool type 7
click "$d" 162 131 1; xdotool type --delay 80 'もじから'
click "$d" 282 21 1
focus_main

# ﾓｰﾄﾞ 文字で作成, and the letters typed row by row (# for a blocked cell); the first key puts
# the cursor on the top-left cell.
xdotool key alt+m l; sleep 0.5
xdotool key Home; sleep 0.2
for ((y = 0; y < ${#rows[@]}; y++)); do
  [ "$y" -gt 0 ] && { xdotool key Down Home; sleep 0.2; }
  xdotool type --delay 150 "${rows[$y]}"
  sleep 0.4
done
shot 01-letters-typed

# 作成支援 番号を振る: shuffled.
xdotool key alt+w n; sleep 0.8
xdotool key Down; sleep 0.3
shot 02-numbering-dialog
xdotool key Return; sleep 0.8
shot 03-numbered

# 検証 (F7): nothing to report yet.
xdotool key F7; sleep 0.8
check=$(win '^検証$')
[ -n "$check" ] || { echo "look-workbench: the check window did not appear" >&2; end_session; exit 1; }
xdotool windowmove "$check" 700 80; sleep 0.4
shot 04-check-clean

# The slip: in the character panel, イ (entry 8: the letters took entries in reading order)
# is retyped as ア in the character dialog.
focus_main
xdotool key alt+v w; sleep 0.6
panel=$(win '文字選択欄')
click "$panel" $((7 % 7 * 32 + 16)) $((7 / 7 * 32 + 16)) 3
sleep 0.4
d=$(win '文字設定ダイアログ')
click "$d" 116 19 1
xdotool key ctrl+a; xdotool type --delay 80 'ア'
click "$d" 202 19 1
sleep 0.6
shot 05-slip-in-check-window

# From the check window: a click on its first row takes the cursor to the slip; the cell of
# the number that went wrong is イ's first, column 5 of row 2; 文字を直す (the button at the
# window's lower right) gives it イ again.
click "$check" 130 140 1
shot 06-row-chosen
focus_main
xdotool key Up Up Up Up Up Up Up Home Down Right Right Right Right; sleep 0.3
click "$check" 500 337 1
sleep 0.6
xdotool type --delay 80 'イ'; sleep 0.3
xdotool key Return; sleep 0.6
shot 07-mended

# Saved as MOJIGRID (the chooser adds .CRS), then checked from the command line.
focus_main
xdotool key alt+f a; sleep 0.8
xdotool type MOJIGRID; xdotool key Return; sleep 1
summary=$("$session_dir/tekutool" check "$session_dir/MOJIGRID.CRS" | tail -n 1)
echo "tekutool check: $summary"

# Opened again: game mode. Each number's character typed on the first cell of that number.
xdotool key alt+f o; sleep 0.8
xdotool type MOJIGRID.CRS; xdotool key Return; sleep 1
main=$(win 'MOJIGRID')
focus_main
shot 08-opened
info=$("$session_dir/tekutool" info "$session_dir/MOJIGRID.CRS")
list() { printf '%s' "$info" | grep -o "\"$1\":\[[^]]*\]" | sed 's/^[^[]*\[//; s/\]$//' | tr ',' '\n'; }
mapfile -t anser < <(list anser)
mapfile -t moji < <(list moji | sed 's/^"//; s/"$//')
mapfile -t cells < <(printf '%s' "$info" | grep -o '"cells":\[\[.*\]\]' | sed 's/^"cells":\[\[//; s/\]\]$//; s/\],\[/\n/g')
declare -A at=()
for ((y = 0; y < 7; y++)); do
  IFS=, read -ra row <<< "${cells[$y]}"
  for ((x = 0; x < 7; x++)); do
    n=${row[$x]}
    ((n >= 1 && n <= 254)) && [ -z "${at[$n]:-}" ] && at[$n]="$x $y"
  done
done
for n in $(printf '%s\n' "${!at[@]}" | sort -n); do
  read -r x y <<< "${at[$n]}"
  keys="Up Up Up Up Up Up Up Home"
  for ((i = 0; i < y; i++)); do keys+=" Down"; done
  for ((i = 0; i < x; i++)); do keys+=" Right"; done
  # shellcheck disable=SC2086
  xdotool key --delay 4 $keys
  xdotool type --delay 150 "${moji[${anser[$n]}]}"
  sleep 0.4
done
xdotool key alt+f c; sleep 0.8
shot 09-solved
caption=$(xdotool getwindowname "$main")
echo "caption: $caption"
end_session
[ "$summary" = "問題なし（参考 1件）" ] || [ "$summary" = "問題なし" ] || exit 1
[ "${caption#\*}" = "おめでとう！正解です。" ]
