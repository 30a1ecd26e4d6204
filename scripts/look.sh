#!/usr/bin/env bash
# Runs the program under Xvfb with a window manager, as a person would use it, and takes
# screenshots. Each argument is one step:
#   shot NAME          screenshot of the whole screen into OUTDIR/NAME.png
#   click X Y BUTTON   mouse click at screen position X, Y (button 1 left, 3 right)
#   wclick TITLE X Y BUTTON  click at X, Y inside the window whose title contains TITLE
#   wkey TITLE KEYS    activates that window, then presses KEYS
#   key KEYS           key press(es) in xdotool syntax, e.g. alt+f
#   type TEXT          types TEXT
#   wait SECONDS       pause
# usage: look.sh PROGRAM_DIR OUTDIR STEP...
set -uo pipefail
dir=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
if [ -z "${TEKU_LOOK_INNER:-}" ]; then
  TEKU_LOOK_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$dir" "$out" "$@"
fi
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
(cd "$dir" && SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} QT_QPA_PLATFORM=xcb ./TEKUCROS.EXE >/dev/null 2>&1) &
app=$!
sleep 2
while [ $# -gt 0 ]; do
  case "$1" in
    shot) import -window root "$out/$2.png"; shift 2 ;;
    click) xdotool mousemove "$2" "$3" click "$4"; sleep 0.3; shift 4 ;;
    key) xdotool key "$2"; sleep 0.3; shift 2 ;;
    wclick) w=$(xdotool search --onlyvisible --name "$2" | head -n 1)
            xdotool mousemove --window "$w" "$3" "$4" click "$5"; sleep 0.3; shift 5 ;;
    wkey) w=$(xdotool search --onlyvisible --name "$2" | head -n 1)
          xdotool windowactivate --sync "$w" 2>/dev/null || true; xdotool key "$3"; sleep 0.3; shift 3 ;;
    type) xdotool type --delay 50 "$2"; sleep 0.3; shift 2 ;;
    wait) sleep "$2"; shift 2 ;;
    *) echo "look.sh: unknown step $1" >&2; exit 2 ;;
  esac
done
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
kill "$wm" 2>/dev/null || true
