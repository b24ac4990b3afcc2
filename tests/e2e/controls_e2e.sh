#!/usr/bin/env bash
# Drives the controls demo on a virtual display: types a name into the combo box, picks the
# second radio button, ticks the check box, types a note, saves a screenshot and presses OK.
# Usage: controls_e2e.sh DEMO SCREENSHOT  (run under xvfb-run)
set -euo pipefail
demo=$1
shot=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT

"$demo" >"$out" &
pid=$!
window=$(xdotool search --sync --onlyvisible --name "Controls demo" | head -1)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT

click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep 0.2; }

# With the dialog font a dialog unit is about 7/4 by 13/8 pixels; positions below are pixels.
click 100 33          # the combo box's edit
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "Ŝanĝo"
click 40 103          # "Hard"
click 240 73          # "Sound effects"
click 300 104         # the note
xdotool type --delay 50 "bona"
sleep 0.5
import -window root "$shot"
xdotool key Return
wait "$pid"
cat "$out"
grep -qx "name=Ŝanĝo note=bona hard=1 sound=1" "$out"
