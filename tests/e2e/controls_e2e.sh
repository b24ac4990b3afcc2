#!/usr/bin/env bash
# The controls demo on a virtual display, driven with real input: types a name into the combo
# box, picks the second radio button, ticks the check box, types a note and presses OK; the
# dialog prints what was chosen.
# Usage: controls_e2e.sh DEMO SCREENSHOT  (run under xvfb-run)
source "$(dirname "$0")/helpers.sh"
out=$work/out

spawn "$1" >"$out"
window "Controls demo"
# With the dialog font a dialog unit is about 7/4 by 13/8 pixels; positions are pixels.
click 100 33 # the combo box's edit
xdotool key --clearmodifiers ctrl+a
# xdotool binds a letter missing from the keymap to a spare key only while it types it, and the
# dialog reads the keymap when it handles the key: a long delay keeps the binding until then.
xdotool type --delay 400 "Ŝanĝo"
click 40 103  # "Hard"
click 240 73  # "Sound effects"
click 300 104 # the note
xdotool type --delay 50 "bona"
sleep 0.5
shot "$2"
xdotool key Return
wait "$pid"
cat "$out"
grep -qx "name=Ŝanĝo note=bona hard=1 sound=1" "$out"
