# Sourced first by the Xvfb sessions, with the script's own arguments (PROGRAM_DIR OUTDIR):
# runs the calling script again on a copy of the program folder without settings, as on the
# first start, and ends with its status. LOOK_REMOVE names more files to leave out of the copy.
if [ -z "${TEKU_LOOK_FRESH:-}" ]; then
  fresh=$(mktemp -d)
  cp -r "$1"/. "$fresh"/
  rm -f "$fresh"/TEKUINI.INI
  for name in ${LOOK_REMOVE:-}; do rm -f "$fresh/$name"; done
  mkdir -p "$2"
  TEKU_LOOK_FRESH=1 bash "$0" "$fresh" "$2"
  status=$?
  rm -rf "$fresh"
  exit $status
fi
