#!/usr/bin/env bash
# Two processes on a virtual display: the first shows a red window and publishes its handle, a
# second covers it with a blue one, a third posts command 1000 to the red window through the
# published one, and the red window must come to the front. Then SIGTERM closes both windows
# through their own close path.
# Usage: instance_e2e.sh DEMO SCREENSHOT  (run under xvfb-run)
set -euo pipefail
demo=$1
shot=$2
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$(dirname "$shot")"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

# The colour on screen at the middle of both windows.
colour() { import -window root -crop 1x1+150+100 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }

"$demo" window Red FF0000 --ipc >"$work/red" &
pids+=($!)
xdotool search --sync --onlyvisible --name '^Red$' >/dev/null
"$demo" window Blue 0000FF >"$work/blue" &
pids+=($!)
xdotool search --sync --onlyvisible --name '^Blue$' >/dev/null
sleep 0.5
test "$(colour)" = "#0000FF"

"$demo" post
for _ in $(seq 50); do grep -q raised "$work/red" && break; sleep 0.1; done
sleep 0.5
import -window root "$shot"
test "$(colour)" = "#FF0000"

kill -TERM "${pids[@]}"
wait "${pids[0]}"
wait "${pids[1]}"
grep -qx closed "$work/red"
grep -qx closed "$work/blue"
