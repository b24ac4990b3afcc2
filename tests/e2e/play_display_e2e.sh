#!/usr/bin/env bash
# Drives the play display demo on a virtual display with the handheld layout: lets the tiles
# fly in, saves a screenshot, presses Menu and then Exit, whose click closes the window from
# inside the button's own input handling, and checks that both commands arrived and that the
# demo ended cleanly.
# Usage: play_display_e2e.sh DEMO SCREENSHOT  (run under xvfb-run)
set -euo pipefail
demo=$1
shot=$2
out=$(mktemp)
QUIBO_DISPLAY=240x320 "$demo" >"$out" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$out"' EXIT

# Waits up to 30 s for a line of the demo's output.
await() { for _ in $(seq 300); do grep -q "$1" "$out" && return 0; sleep 0.1; done; echo "no '$1'"; cat "$out"; return 1; }

window=$(xdotool search --sync --onlyvisible --name "Play display" | head -1)
await ready # the deal and the elements' entrance are over
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
import -window root "$shot"

press() { xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.2; xdotool mousedown 1; sleep 0.3; xdotool mouseup 1; }

press 30 20  # Menu
await 'command 1002'
press 200 20 # Exit
await closed
wait $pid
cat "$out"
grep -q 'command 1002' "$out"
grep -q 'command 1005' "$out"
grep -q 'closed' "$out"
