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
# The letters the keymap lacks go on empty keys for good: xdotool's own binding lasts only while
# it types, and under load the dialog may read the keymap after that.
empty=($(xmodmap -pke | awk 'NF == 3 && $2 > 8 {print $2}'))
xmodmap -e "keycode ${empty[0]} = Scircumflex" -e "keycode ${empty[1]} = gcircumflex"
xdotool type --delay 50 "Ŝanĝo"
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
