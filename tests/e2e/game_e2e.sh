#!/usr/bin/env bash
# The game on a virtual display, seen and driven by the robot player.
# Usage: game_e2e.sh CASE BIN SHOTS  (run under xvfb-run)
#   BIN holds quibo, its packs, robot and quibo-pack; screenshots go to SHOTS/CASE.
# Cases:
#   starts      first start shows the tutorial, the next one (on the handheld) a new game, whose
#               Exit closes the window from inside its own click and ends the program
#   single      a second start leaves one instance and brings the first to the front
#   large       the robot plays a whole game on the large pack
#   handheld    the same on the handheld pack (QUIBO_DISPLAY=240x320, unscaled)
#   keys        the robot takes a quibo with the keys alone: the focus ring stops at the edges
#   deactivate  losing activation pauses the game, regaining it does not resume it
#   cheater     an edited stored name reads "Cheater" at the next start
#   nopacks     without packs the graphics message box shows and the program ends
#   scaled      on a 2560 x 1440 screen the large layout shows twice its size and clicks map back
source "$(dirname "$0")/helpers.sh"
case=$1
bin=$2
shots=$3/$case
mkdir -p "$shots"
rm -f "$shots"/*.png

start() { spawn "$bin/quibo"; game=$pid; }
stop() { finish "$game"; }
# Another program's window, 300 x 200 at the top left, of one colour.
cover() { spawn display -title "$1" -geometry +0+0 -size 300x200 "xc:#$2"; window "^$1\$" 0; }

case $case in
starts)
  start
  robot screen tutorial --shot first-start
  stop
  spawn env QUIBO_DISPLAY=240x320 QUIBO_SCALE=1 "$bin/quibo"
  robot exit --shot next-start
  wait "$pid" || fail "quibo exited with $? after Exit"
  ;;
single)
  start
  robot start-game --shot first
  # Another program's window covers the game's top left corner, then the game starts again.
  cover Cover 0000FF
  await_colour 150 100 = "#0000FF"
  timeout 30 "$bin/quibo"
  test "$(xdotool search --onlyvisible --name '^Quibo$' | wc -l)" -eq 1
  await_colour 150 100 != "#0000FF"
  shot "$shots/front.png"
  stop
  ;;
large | handheld | keys)
  # The robot reads the window at its own size, not at the double the screen has room for.
  [[ $case == handheld ]] && export QUIBO_DISPLAY=240x320 QUIBO_SCALE=1
  start
  if [[ $case == keys ]]; then
    robot keys
  else
    robot play --name "Robo $case" --timeout 120
    robot scores
  fi
  stop
  ;;
deactivate)
  start
  robot start-game --shot playing
  # Another program comes up and takes the activation; an inactive game draws nothing new, so
  # the pause shows once the game is active again, and it must still be paused then.
  cover Other 404040
  xdotool windowfocus --sync "$win"
  await_colour 150 100 = "#404040"
  shot "$shots/deactivated.png"
  kill "$pid"
  xdotool windowfocus "$(xdotool search --onlyvisible --name '^Quibo$' | head -1)"
  sleep 1
  robot screen paused --shot reactivated
  sleep 2
  robot screen paused
  stop
  ;;
cheater)
  start
  robot start-game
  stop
  robot seed Honest --score 123000
  robot scores | grep -qx 'Honest|123000|[0-9]*|[0-9]*|valid'
  robot forge Honest
  start
  robot view-scores --shot cheater
  stop
  robot scores | tee /dev/stderr | grep -qx 'Cheater|123000|[0-9]*|0|unchecked'
  ;;
nopacks)
  # The program alone, two folders deep, with no packs beside it or above it.
  mkdir -p "$work/a/b"
  cp "$bin/quibo" "$work/a/b/quibo"
  spawn "$work/a/b/quibo"
  window '^Error - Quibo$'
  shot "$shots/message.png"
  test "$(xdotool search --onlyvisible --name '^Quibo$' | wc -l)" -eq 0
  xdotool windowfocus "$win" key Return
  wait "$pid" || echo "quibo exited with $?"
  ;;
scaled)
  # A first start without scaling gets past the tutorial, so the next one opens on the board,
  # where the robot, seeing every other pixel, clicks a quibo at twice the layout's places.
  QUIBO_SCALE=1 start
  robot start-game
  stop
  start
  robot play --quibos 1 | tee "$work/robot.log"
  grep -q "window 1520x1040 .*scale 2" "$work/robot.log" || fail "the large layout is not shown at twice its size"
  stop
  ;;
*) fail "unknown case $case" ;;
esac
echo "game_e2e: $case passed; screenshots in $shots"
