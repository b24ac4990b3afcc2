#!/usr/bin/env bash
# The demo programs on a virtual display, driven with real input.
# Usage: demos_e2e.sh CASE DEMO SCREENSHOT  (run under xvfb-run); CASE is one of
#   controls      types a name into the combo box, picks the second radio button, ticks the
#                 check box, types a note and presses OK: the dialog prints what was chosen
#   engine        presses the engine demo's push button twice and its check button once
#   instance      a red window publishes its handle, a blue one covers it, a third process posts
#                 command 1000 through the published window: red must come to the front; then
#                 SIGTERM closes both through their own close path
#   play_display  the handheld play screen: the tiles fly in, Menu, then Exit, whose click
#                 closes the window from inside the button's own input handling
source "$(dirname "$0")/helpers.sh"
case=$1
demo=$2
out=$work/out

case $case in
controls)
  spawn "$demo" >"$out"
  window "Controls demo"
  # With the dialog font a dialog unit is about 7/4 by 13/8 pixels; positions are pixels.
  click 100 33 # the combo box's edit
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 50 "Ŝanĝo"
  click 40 103  # "Hard"
  click 240 73  # "Sound effects"
  click 300 104 # the note
  xdotool type --delay 50 "bona"
  sleep 0.5
  shot "$3"
  xdotool key Return
  wait "$pid"
  cat "$out"
  grep -qx "name=Ŝanĝo note=bona hard=1 sound=1" "$out"
  ;;
engine)
  spawn "$demo" >"$out"
  window "Engine demo"
  press 60 38 # "Press me"
  press 60 38
  press 30 78 # "Sparkles"
  sleep 1
  shot "$3"
  cat "$out"
  test "$(grep -c 'clicked 1001' "$out")" -eq 2
  test "$(grep -c 'clicked 1002' "$out")" -eq 1
  ;;
instance)
  spawn "$demo" window Red FF0000 --ipc >"$work/red"
  red=$pid
  window '^Red$' 0
  spawn "$demo" window Blue 0000FF >"$work/blue"
  window '^Blue$'
  test "$(colour_at 150 100)" = "#0000FF"
  "$demo" post
  await raised "$work/red"
  sleep 0.5
  shot "$3"
  test "$(colour_at 150 100)" = "#FF0000"
  kill -TERM "$red" "$pid"
  wait "$red"
  wait "$pid"
  grep -qx closed "$work/red"
  grep -qx closed "$work/blue"
  ;;
play_display)
  QUIBO_DISPLAY=240x320 spawn "$demo" >"$out"
  window "Play display" 0
  await ready "$out" # the deal and the elements' entrance are over
  shot "$3"
  press 30 20 # Menu
  await 'command 1002' "$out"
  press 200 20 # Exit
  await closed "$out"
  wait "$pid"
  cat "$out"
  grep -q 'command 1005' "$out"
  ;;
*) fail "unknown case $case" ;;
esac
