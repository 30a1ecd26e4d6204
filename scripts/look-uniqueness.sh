#!/usr/bin/env bash
# A setter's first uniqueness check, under Xvfb, by the menus' access keys: SAMPLE1 opened and put
# in create mode, 作成支援 → 一意性チェック (another solution, its numbers framed), 作成支援 → ヒントを提案
# (the cells added), 一意性チェック again (unique). Screenshots go to OUTDIR.
# usage: look-uniqueness.sh PROGRAM_DIR OUTDIR
set -uo pipefail
# A fresh program folder: no settings yet, as on the first start.
source "$(dirname "$0")/look-fresh.sh" "$@"
source "$(dirname "$0")/xvfb-session.sh"

main=$(win 'ナンクロ支援')
[ -n "$main" ] || { echo "look-uniqueness: the main window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$main" 2>/dev/null; sleep 0.3
xdotool key alt+f o; sleep 0.8
xdotool type SAMPLE1.CRS; xdotool key Return; sleep 1
# ﾓｰﾄﾞ(M) 作成ﾓｰﾄﾞ(C).
xdotool key alt+m c; sleep 0.5
shot 01-create-mode

# 作成支援(W) 一意性チェック(U): the result stays up until it is closed.
xdotool key alt+w u; sleep 2
shot 02-check-several
[ -n "$(win '一意性チェック')" ] || { echo "look-uniqueness: no result was shown" >&2; end_session; exit 1; }
xdotool key Return; sleep 0.5

# 作成支援(W) ヒントを提案(S).
xdotool key alt+w s; sleep 3
shot 03-suggested
xdotool key Return; sleep 0.5
shot 04-given-cells

xdotool key alt+w u; sleep 2
shot 05-check-unique
xdotool key Return; sleep 0.5
# One undo takes the suggestion back.
xdotool key ctrl+z; sleep 0.5
shot 06-undone
end_session
