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

robot() { "$bin/robot" "$@" --tool "$bin/quibo-pack" --packs "$bin" --work "$work/robot" --shots "$shots"; }
start() { spawn "$bin/quibo"; game=$pid; }
# Another program's window, 300 x 200 at the top left, of one colour.
cover() { spawn display -title "$1" -geometry +0+0 -size 300x200 "xc:#$2"; window "^$1\$" 0; }
stop() { finish "$game"; }

case $case in
starts)
  start
  robot screen tutorial --shot first-start
  # The window carries the program's icon at the big size.
  window '^Quibo$'
  xprop -id "$win" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window has no 32 x 32 icon"
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
large | handheld)
  # The robot reads the window at its own size, not at the double the screen has room for.
  [[ $case == handheld ]] && export QUIBO_DISPLAY=240x320 QUIBO_SCALE=1
  start
  robot play --name "Robo $case" --timeout 120
  robot scores
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
  "$bin/robot" seed Honest --score 123000
  "$bin/robot" scores | grep -qx 'Honest|123000|[0-9]*|[0-9]*|valid'
  "$bin/robot" forge Honest
  start
  robot view-scores --shot cheater
  stop
  "$bin/robot" scores
  "$bin/robot" scores | grep -qx 'Cheater|123000|[0-9]*|0|unchecked'
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
  status=0
  wait "$pid" || status=$?
  echo "quibo exited with $status"
  ;;
scaled)
  # A first start without scaling gets past the tutorial, so the next one opens on the board.
  export QUIBO_SCALE=1
  start
  robot start-game
  stop
  unset QUIBO_SCALE
  start
  # The intro's window comes and goes before the game's: wait for one that stays.
  WIDTH=0
  for _ in $(seq 60); do
    window '^Quibo$' 0.5 2>/dev/null && [[ $WIDTH -eq 1520 ]] && break
  done
  [[ $WIDTH -eq 1520 && $HEIGHT -eq 1040 ]] || fail "the window is $WIDTH x ${HEIGHT:-0}"
  # Tile (1, 1) of the large layout: 85 x 92 at (165, 129), shown at twice that. Its face is
  # sampled once the deal's flights have put it there and it holds still.
  at=($((X + 2 * 175)) $((Y + 2 * 139)))
  face=none
  for _ in $(seq 60); do
    now=$(colour_at "${at[@]}")
    [[ $now == "$face" && $now != "#000000" ]] && break
    face=$now
    sleep 0.5
  done
  click $((2 * 207)) $((2 * 175))
  selected=$face
  for _ in $(seq 20); do
    selected=$(colour_at "${at[@]}")
    [[ $selected != "$face" ]] && break
    sleep 0.25
  done
  shot "$shots/scaled.png"
  [[ $selected != "$face" && $selected != "#000000" ]] || fail "the tile under the click was not selected ($face, $selected)"
  stop
  ;;
*) fail "unknown case $case" ;;
esac
echo "game_e2e: $case passed; screenshots in $shots"
