#!/usr/bin/env bash
# A new user's first session, by real mouse clicks under Xvfb: a 5 x 5 number-crossword is
# authored from nothing (size and title, numbers, three characters typed in the character
# dialog, their answers, two given cells, a three-position answer word), saved, opened again,
# checked once unsolved, solved by clicks and checked again. Screenshots go to OUTDIR; the run
# ends with the main window's caption and fails unless the puzzle was saved and solved.
# usage: look-authoring.sh PROGRAM_DIR OUTDIR
set -uo pipefail
# A fresh program folder: no settings yet, as on the first start.
LOOK_REMOVE=GOKAKU.CRS source "$(dirname "$0")/look-fresh.sh" "$@"
source "$(dirname "$0")/xvfb-session.sh"

main=$(win 'ナンクロ支援')
[ -n "$main" ] || { echo "look-authoring: the main window did not appear" >&2; exit 1; }
# menu TITLE_X ITEM_Y: the menu bar title at x, then the item at y (rows of 22 pixels, a
# separator adds 2). ﾌｧｲﾙ: 開く 29, 名前を付けて保存 95, 初めから 141, 終了確認 185
menu() { click "$main" "$1" 10 1; click "$main" "$(($1 + 10))" "$2" 1; sleep 0.3; }
# 編集 sits between ﾌｧｲﾙ and ﾓｰﾄﾞ
FILE=30 EDIT=86 MODE=142 VIEW=197
cell() { click "$main" $(($1 * 32 + 16)) $((20 + $2 * 32 + 16)) "${3:-1}"; }
# entry E of the character panel: create mode lists from 0, the other modes from 1
entry() { local i=$(($1 - $2)); click "$panel" $((i % 7 * 32 + 16)) $((i / 7 * 32 + 16)) "${3:-1}"; }

# Create mode, then a new 5 x 5 puzzle titled ごかく.
menu $MODE 73
menu $FILE 141
d=$(win '初期設定ダイアログ')
click "$d" 148 54 1; xdotool key ctrl+a; xdotool type 5
click "$d" 211 54 1; xdotool key ctrl+a; xdotool type 5
click "$d" 162 131 1; xdotool type --delay 80 'ごかく'
shot 01-new-puzzle
click "$d" 282 21 1

# The character panel; numbers 1 2 3 1 2 across the top row, 3 1 in the third.
menu $VIEW 29
panel=$(win '文字選択欄')
for c in "0 0 1" "1 0 2" "2 0 3" "3 0 1" "4 0 2" "0 2 3" "1 2 1"; do
  set -- $c
  entry "$3" 0
  cell "$1" "$2"
done
shot 02-numbers

# Characters 10, 11 and 12: a right click on the entry opens the character dialog.
for e in "10 ア" "11 イ" "12 ウ"; do
  set -- $e
  entry "$1" 0 3
  sleep 0.3
  d=$(win '文字設定ダイアログ')
  click "$d" 116 19 1
  xdotool key ctrl+a; xdotool type --delay 80 "$2"
  [ "$1" = 12 ] && shot 03-character-dialog
  click "$d" 202 19 1
done

# Answer mode: number n takes character 9 + n.
menu $MODE 51
entry 10 1; cell 0 0
entry 11 1; cell 1 0
entry 12 1; cell 2 0
shot 04-answers

# Two given cells, then the given-cell mode off again.
menu $MODE 143
cell 4 0; cell 0 2
menu $MODE 143
shot 05-given-cells

# The answer word: create mode, the answer panel moved out of the way by its title bar,
# numbers 1 2 3 in its first three positions.
menu $MODE 73
menu $VIEW 51
answer=$(win '解答欄')
xdotool mousemove --window "$answer" 200 0; sleep 0.2
eval "$(xdotool getmouselocation --shell)"
xdotool mousemove "$X" $((Y - 12)) mousedown 1; sleep 0.2
xdotool mousemove "$X" 400; sleep 0.2
xdotool mousemove "$X" 660; sleep 0.2; xdotool mouseup 1; sleep 0.4
for s in 0 1 2; do
  entry $((s + 1)) 0
  click "$answer" $((s * 32 + 16)) 16 1
done
shot 06-answer-word

# Save as GOKAKU (the file chooser adds .CRS).
menu $FILE 95
sleep 0.6
shot 07-save-as
xdotool type GOKAKU; xdotool key Return; sleep 0.8

# Open it again: it comes up in game mode with the given cells filled in.
menu $FILE 29
sleep 0.6
xdotool type GOKAKU.CRS; xdotool key Return; sleep 0.8
shot 08-opened
menu $FILE 185
shot 09-check-unsolved
entry 10 1; cell 3 0
entry 11 1; cell 1 0
entry 12 1; cell 2 0
menu $FILE 185
sleep 0.5
shot 10-solved

caption=$(xdotool getwindowname "$main")
echo "caption: $caption"
# The entries since the open are not saved: the caption shows the mark in front of it.
caption=${caption#\*}
saved=no
[ -s "$session_dir/GOKAKU.CRS" ] && saved=yes
echo "saved: $saved"
end_session
[ "$saved" = yes ] && [ "$caption" = "おめでとう！正解です。" ]
