#!/usr/bin/env bash
# The installed program, as a desktop would use it: installs the build into a temporary prefix,
# validates the desktop entry and the AppStream metainfo, runs the installed tekutool, then starts
# the installed program under Xvfb with an empty home and a puzzle path argument and closes it.
# Fails unless the puzzle opened, the settings and the log landed in the XDG folders of that home,
# and nothing was written into the prefix. Leaves a screenshot in OUTDIR/installed.png.
# usage: check-install.sh BUILD_DIR OUTDIR
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)

if [ -z "${TEKU_CHECK_INNER:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  status=0
  TEKU_CHECK_INNER=1 TEKU_CHECK_WORK="$work" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build" "$out" || status=$?
  exit $status
fi

work=$TEKU_CHECK_WORK
prefix=$work/prefix
home=$work/home
failed=0
fail() { echo "check-install: $*" >&2; failed=1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop-file-validate "$prefix/share/applications/tekucros.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null || fail "metainfo"
# The MIME entry must compile; it is compiled in a copy, never in the prefix.
if command -v update-mime-database >/dev/null; then
  cp -r "$prefix/share/mime" "$work/mime"
  update-mime-database "$work/mime" >/dev/null 2>&1 || fail "MIME entry"
  grep -q 'application/x-tekucros-puzzle' "$work/mime/globs2" || fail "MIME glob"
fi
[ -s "$prefix/share/man/man1/tekutool.1.gz" ] || fail "no man page"
for size in 48 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/tekucros.png" | grep -q "$size x $size" || fail "icon $size"
done

snapshot() { (cd "$prefix" && find . -printf '%p %y %s %T@ %m\n' | sort); }
before=$(snapshot)

"$prefix/bin/tekutool" --help | grep -q '^  info PUZZLE' || fail "installed tekutool --help"
# Sheets from the installed data folder, through tekutool-gui beside tekutool.
"$prefix/bin/tekutool" render "$prefix/share/tekucros/SAMPLE2.CRS" "$work/grid.bmp" 2>"$work/render.log" || fail "installed tekutool render"

# An empty home, no XDG variables: the defaults under the home folder apply.
mkdir -p "$home/some/folder"
puzzle=$home/some/folder/SAMPLE1.CRS
cp "$prefix/share/tekucros/SAMPLE1.CRS" "$puzzle"
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" HOME="$home" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb \
  "$prefix/bin/TEKUCROS.EXE" "$puzzle" >"$work/program.log" 2>&1 &
app=$!
main=""
for _ in $(seq 1 100); do
  main=$(xdotool search --onlyvisible --name 'ﾌｧｲﾙ .*SAMPLE1.CRS' 2>/dev/null | head -n 1 || true)
  [ -n "$main" ] && break
  sleep 0.1
done
if [ -n "$main" ]; then
  sleep 0.5
  import -window root "$out/installed.png"
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key alt+F4
else
  fail "the main window did not show the puzzle in its caption"
  import -window root "$out/installed.png"
  kill "$app" 2>/dev/null || true
fi
ended=0
for _ in $(seq 1 50); do kill -0 "$app" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
if [ $ended = 0 ]; then fail "the program did not end"; kill -9 "$app" 2>/dev/null || true; fi
wait "$app" 2>/dev/null || true
kill "$wm" 2>/dev/null || true

settings=$home/.config/tekucros/TEKUINI.INI
[ -f "$settings" ] || fail "no settings in $settings"
[ -f "$home/.local/state/tekucros/TEKUTRC.LOG" ] || fail "no trace log in ~/.local/state/tekucros"
if [ -f "$settings" ]; then
  tr -d '\r' <"$settings" | grep -qx "MONDAI=$puzzle" || fail "MONDAI is not the puzzle's path"
  tr -d '\r' <"$settings" | grep -qx "RECENTFILE1=$puzzle" || fail "the puzzle is not in the recent list"
fi
cmp -s "$puzzle" "$prefix/share/tekucros/SAMPLE1.CRS" || fail "the puzzle was changed"
[ "$(snapshot)" = "$before" ] || { fail "the prefix was written"; diff <(echo "$before") <(snapshot) >&2 || true; }
extra=$(cd "$home" && find . -type f | grep -v -e '^./.config/tekucros/' -e '^./.local/state/tekucros/' \
  -e '^./some/folder/SAMPLE1.CRS$' -e '^./.cache/' || true)
[ -z "$extra" ] || fail "files outside the XDG folders: $extra"

if [ $failed = 0 ]; then
  echo "check-install: installed $(cd "$prefix" && find . -type f -o -type l | wc -l) files; validated; opened $puzzle; settings in ~/.config/tekucros"
else
  sed 's/^/  program: /' "$work/program.log" >&2
fi
exit $failed
