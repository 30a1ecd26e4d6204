#!/usr/bin/env bash
# Window places over restarts, by real windows under Xvfb with a window manager: the program is
# started six times with settings that place the character panel, the answer panel and the hint
# dialog at odd positions; each run shows them and ends, by the close box or by SIGTERM while the
# save question is open. Every window must come back where it was left (after the snap to 8 of
# the first start), and nothing may be saved. A last run opens the answer panel and the help
# window and closes the main window: no process may be left. Prints one line per start with the
# frames' top-left corners; fails on any move, a saved puzzle or a process left.
# usage: look-places.sh PROGRAM_DIR OUTDIR
set -uo pipefail
if [ -z "${TEKU_LOOK_FRESH:-}" ]; then
  fresh=$(mktemp -d)
  cp -r "$1"/. "$fresh"/
  rm -f "$fresh"/TEKUINI.INI
  printf '[TEKUCROSE]\r\nWLeft=333\r\nWTop=517\r\nKLeft=613\r\nKTop=45\r\nNLeft=205\r\nNTop=611\r\n' \
    >"$fresh"/TEKUINI.INI
  mkdir -p "$2"
  TEKU_LOOK_FRESH=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$fresh" "$2"
  status=$?
  rm -rf "$fresh"
  exit $status
fi
dir=$1
out=$(cd "$2" && pwd)

openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5

win() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_win() { local w=""; for _ in $(seq 1 50); do w=$(win "$1"); [ -n "$w" ] && break; sleep 0.1; done; echo "$w"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click "$4"; sleep 0.4; }
menu() { click "$main" "$1" 10 1; click "$main" $(($1 + 10)) "$2" 1; sleep 0.3; }
# 編集 sits between ﾌｧｲﾙ and ﾓｰﾄﾞ
FILE=30 EDIT=86 MODE=142 VIEW=197 HELP=242
# The frame's top left: the client's place on the screen less its place inside the frame.
frame() {
  local info
  [ -n "$1" ] || { echo "none"; return; }
  info=$(xwininfo -id "$1")
  local ax ay rx ry
  ax=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  ay=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  rx=$(sed -n 's/.*Relative upper-left X: *//p' <<<"$info")
  ry=$(sed -n 's/.*Relative upper-left Y: *//p' <<<"$info")
  echo "$((ax - rx)),$((ay - ry))"
}
start() {
  (cd "$dir" && SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} QT_QPA_PLATFORM=xcb exec ./TEKUCROS.EXE >/dev/null 2>&1) &
  app=$!
  main=$(wait_win 'ナンクロ支援')
  sleep 0.5
}
# True when the program has ended within two seconds.
ended() {
  for _ in $(seq 1 20); do kill -0 "$app" 2>/dev/null || { wait "$app" 2>/dev/null; return 0; }; sleep 0.1; done
  return 1
}

failed=0
first=""
for round in 1 2 3 4 5 6; do
  start
  [ -n "$main" ] || { echo "look-places: the main window did not appear" >&2; exit 1; }
  menu $VIEW 29
  menu $VIEW 51
  hint="-"
  if [ $((round % 2)) = 1 ]; then
    # A clue in answer mode of a crossword: the right click opens the hint dialog.
    menu $MODE 119
    menu $MODE 51
    click "$main" 16 36 3
    hint=$(frame "$(wait_win 'ヒントダイアログ')")
  fi
  places="main $(frame "$main") panel $(frame "$(win '文字選択欄')") answer $(frame "$(win '解答欄')") hint $hint"
  echo "start $round: $places"
  [ "$round" = 1 ] && import -window root "$out/places-1.png"
  if [ $((round % 2)) = 1 ]; then
    # The puzzle was changed: the close box asks whether to save, and a signal ends the program
    # while the question is open, saving nothing.
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key alt+F4
    [ -n "$(wait_win '確認メッセージ')" ] || { echo "look-places: no save question" >&2; failed=1; }
    kill -TERM "$app"
  else
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key alt+F4     # the close box
  fi
  ended || { echo "look-places: start $round did not end" >&2; kill -9 "$app"; failed=1; }
  if [ -z "$first" ]; then first=$places; fi
  # Odd starts show the hint dialog too; compare the windows every start shows.
  [ "${places% hint*}" = "${first% hint*}" ] || { echo "look-places: a window moved" >&2; failed=1; }
  [ "$hint" = "-" ] || [ "$hint" = "${first##* hint }" ] || { echo "look-places: the hint dialog moved" >&2; failed=1; }
done
[ -e "$dir/DEFAULTI.CRS" ] && { echo "look-places: a puzzle was saved" >&2; failed=1; }
tr -d '\r' <"$dir/TEKUINI.INI" | grep -E '^(Left|Top|WLeft|WTop|KLeft|KTop|NLeft|NTop)=' | tr '\n' ' '
echo

# The answer panel and the help window open, then the close box of the main window.
start
menu $VIEW 51
menu $HELP 29
help=$(wait_win 'ﾍﾙﾌﾟ')
import -window root "$out/places-help.png"
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key alt+F4
if ended; then echo "closed with the answer panel and help open: no process left"
else echo "look-places: the program runs on after its main window closed" >&2; kill -9 "$app"; failed=1; fi
[ -n "$help" ] || { echo "look-places: the help window did not appear" >&2; failed=1; }

kill "$wm" 2>/dev/null
exit $failed
