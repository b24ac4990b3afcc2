#!/usr/bin/env bash
# Drives the engine demo on a virtual display: presses its push button twice and its check button
# once, saves a screenshot and checks that the clicks arrived.
# Usage: engine_demo_e2e.sh DEMO SCREENSHOT  (run under xvfb-run)
set -euo pipefail
demo=$1
shot=$2
out=$(mktemp)
"$demo" >"$out" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$out"' EXIT

window=$(xdotool search --sync --onlyvisible --name "Engine demo" | head -1)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT

# No --sync: it waits in vain when the pointer is already there.
press() { xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.2; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3; }

press 60 38 # "Press me"
press 60 38
press 30 78 # "Sparkles"
sleep 1
import -window root "$shot"
cat "$out"
test "$(grep -c 'clicked 1001' "$out")" -eq 2
test "$(grep -c 'clicked 1002' "$out")" -eq 1
