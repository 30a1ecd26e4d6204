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
source "$(dirname "$0")/xvfb-session.sh"
shift 2
while [ $# -gt 0 ]; do
  case "$1" in
    shot) shot "$2"; shift 2 ;;
    click) xdotool mousemove "$2" "$3" click "$4"; sleep 0.3; shift 4 ;;
    key) xdotool key "$2"; sleep 0.3; shift 2 ;;
    wclick) click "$(win "$2")" "$3" "$4" "$5"; shift 5 ;;
    wkey) w=$(win "$2")
          xdotool windowactivate --sync "$w" 2>/dev/null || true; xdotool key "$3"; sleep 0.3; shift 3 ;;
    type) xdotool type --delay 50 "$2"; sleep 0.3; shift 2 ;;
    wait) sleep "$2"; shift 2 ;;
    *) echo "look.sh: unknown step $1" >&2; exit 2 ;;
  esac
done
end_session
