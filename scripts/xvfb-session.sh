# Shared by the scripts that use the program as a person would, under Xvfb. Source it from a
# script run as `script PROGRAM_DIR OUTDIR ARGS...`; it re-runs that script inside xvfb-run,
# then starts a window manager and the program from PROGRAM_DIR, and offers:
#   shot NAME       screenshot of the whole screen into OUTDIR/NAME.png
#   win TITLE       id of the first visible window whose title matches TITLE
#   click WIN X Y B mouse click at X, Y inside window WIN's client area (button 1 left, 3 right)
#   end_session     stops the program and the window manager
# Sets session_dir (the program folder) and session_out (OUTDIR).
session_dir=$(cd "$1" && pwd)
session_out=$(mkdir -p "$2" && cd "$2" && pwd)
if [ -z "${TEKU_LOOK_INNER:-}" ]; then
  TEKU_LOOK_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$session_dir" "$session_out" "${@:3}"
fi

shot() { import -window root "$session_out/$1.png"; }
win() { xdotool search --onlyvisible --name "$1" | head -n 1; }
click() { xdotool mousemove --window "$1" "$2" "$3" click "$4"; sleep 0.4; }

openbox >/dev/null 2>&1 &
session_wm=$!
sleep 0.5
(cd "$session_dir" && SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} QT_QPA_PLATFORM=xcb ./TEKUCROS.EXE >/dev/null 2>&1) &
session_app=$!
sleep 2

end_session() {
  kill "$session_app" 2>/dev/null || true
  wait "$session_app" 2>/dev/null || true
  kill "$session_wm" 2>/dev/null || true
}
