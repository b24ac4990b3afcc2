# Sourced by the end-to-end scripts (run under xvfb-run): a private data folder, programs started
# in the background and ended at exit, windows and output waited for, screenshots and pixels.
set -euo pipefail
work=$(mktemp -d)
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "$(basename "$0"): $*"; exit 1; }
# Starts a program in the background (redirections apply to it); its id is $pid.
spawn() { "$@" & pid=$!; pids+=("$pid"); }
# Ends a program the way a session does; it must close through its own shutdown.
finish() {
  kill -TERM "$1"
  local status=0
  wait "$1" || status=$?
  [[ $status -eq 0 ]] || fail "$1 exited with $status"
}
# Waits for the first visible window so named; $win is its id, X Y WIDTH HEIGHT its geometry.
# Windows that come and go meanwhile (a program may replace its first one) are waited past.
window() {
  local geometry=
  until [ -n "$geometry" ]; do
    win=$(xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1) || continue
    sleep "${2:-0.5}"
    geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) || geometry=
  done
  eval "$geometry"
}
shot() { mkdir -p "$(dirname "$1")"; import -window root "$1"; }
colour_at() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
# Waits up to 30 s until the pixel at (x, y) compares so (= or !=) with the colour.
await_colour() {
  for _ in $(seq 150); do [ "$(colour_at "$1" "$2")" "$3" "$4" ] && return 0; sleep 0.2; done
  fail "the pixel at $1,$2 stayed $(colour_at "$1" "$2"), not $3 $4"
}
# The robot player with the programs in $bin, the packs in $packs (or $bin), screenshots in $shots.
robot() { "$bin/robot" "$@" --tool "$bin/quibo-pack" --packs "${packs:-$bin}" --work "$work/robot" --shots "$shots"; }
# A click at (x, y) in the window found last, once the pointer is there.
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep "${3:-0.2}"; }
