#!/usr/bin/env bash
# Installs Quibo with QuiboSetup on a virtual display and uninstalls it again.
# Usage: installer_e2e.sh BIN SHOTS CASE  (run under xvfb-run); CASE is one of
#   desktop    no handheld: Install, watch bar 1008, the success box, the installed files and
#              journal, the registered uninstall removes everything
#   esperanto  switching the language rebuilds the panes in Esperanto
#   both       a handheld started first: "Install on both", two bars, the handheld's files
#   rescan     the handheld appears after the start: Rescan shows the target choice
#   nospace    a handheld with too little room: the error box names the path
set -euo pipefail
bin=$1
shots=$2
case=$3
mkdir -p "$shots"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; "$bin/quibo-handheld" stop >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
# LeakSanitizer's tracer crashes at this program's exit (signal 11 inside the tracer); the
# other sanitizers stay on, and the skin's tests run under LeakSanitizer.
export LSAN_OPTIONS=detect_leaks=0
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run HOME=$work QUIBO_TRACE=1 PATH=$bin:$PATH
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
drive=$XDG_DATA_HOME/quibo/drive_c
out=$work/setup.log

start_setup() {
    "$bin/QuiboSetup" >"$out" 2>&1 &
    setup=$!
    window=$(xdotool search --sync --onlyvisible --name "Quibo" | head -1)
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
}
# Positions in dialog units of the installer's templates (7/4 by 15/8 pixels, frame 20).
click_du() { xdotool mousemove --sync $((X + 20 + $1 * 7 / 4)) $((Y + 20 + $2 * 15 / 8)) click 1; sleep 0.7; }
shot() { import -window root "$shots/installer_$1.png"; }
# The final box: wait for it, keep its picture, press its first button.
final_box() {
    for _ in $(seq 1 600); do
        box=$(xdotool search --onlyvisible --name "Quibo" | head -1 || true)
        [ -n "$box" ] && [ "$box" != "$window" ] && break
        sleep 0.2
    done
    sleep 1
    shot "$1"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 20 - 14 * 15 / 8)) click 1
    wait "$setup" || { echo "QuiboSetup failed"; grep -v "^rapi" "$out" | tail -40; exit 1; }
}
# The bar's positions as the window showed them, without repeats.
progress_of() { grep -o "QuiboSetup: bar $1 at [0-9]*" "$out" | awk '{print $5}' | uniq | tr '\n' ' '; }

case $case in
desktop)
    start_setup
    shot welcome-en
    click_du 336 122          # Install
    sleep 0.3
    shot progress-desktop
    final_box success-en
    bar=$(progress_of 1008)
    echo "bar 1008: $bar"
    [[ " $bar" =~ ^(\ 0)*\ 5(\ [0-9]+)*\ 75(\ [0-9]+)*\ 95(\ [0-9]+)*\ 100\ $ ]] || { echo "bar 1008 did not run 5, 75, 95, 100"; exit 1; }
    folder="$drive/Program Files/Quibo"
    for f in quibo.exe quibo-s-lo.res quibo-s-hi.res quibo-l-lo.res quibo-l-hi.res; do
        test -s "$folder/$f" || { echo "missing $f"; exit 1; }
    done
    log=$(ls "$drive/Program Files/Zelnor Software/"Uninstall\ Log\ for\ Quibo.txt)
    echo "--- journal"; cat "$log"
    find "$drive" -iname "quibo.lnk" | grep -q . || { echo "no shortcut"; exit 1; }
    # The installed game starts from its installed place and shows its window.
    if [ -x "$bin/quibo" ]; then
        "$folder/quibo.exe" >"$work/game.log" 2>&1 &
        game=$!
        xdotool search --sync --onlyvisible --name "^Quibo$" >/dev/null
        sleep 2
        shot installed-game
        kill "$game"; wait "$game" || true
    fi
    # The registered uninstaller removes what the journal lists.
    rundll32 "C:\\Program Files\\Zelnor Software\\uninstaller.dll",Uninstall Quibo
    test ! -e "$folder/quibo.exe" || { echo "uninstall left quibo.exe"; exit 1; }
    ;;
esperanto)
    start_setup
    click_du 84 54            # Esperanto
    sleep 0.5
    shot welcome-eo
    xdotool search --onlyvisible --name "Quibo Instalilo" | grep -q . || { echo "title not Esperanto"; exit 1; }
    xdotool key --window "$window" Escape || true
    kill "$setup"; wait "$setup" || true
    ;;
both)
    "$bin/quibo-handheld" start --root "$work/device" >/dev/null
    start_setup
    shot target-en
    click_du 40 90            # Install on both
    click_du 336 122          # Install
    shot progress-both
    final_box success-both
    echo "bar 1008: $(progress_of 1008)"
    bar=$(progress_of 1009)
    echo "bar 1009: $bar"
    [[ " $bar" =~ ^(\ 0)*\ 5(\ [0-9]+)*\ 90(\ [0-9]+)*\ 95(\ [0-9]+)*\ 100\ $ ]] || { echo "bar 1009 did not run 5, 90, 95, 100"; exit 1; }
    folder="$work/device/Program Files/Quibo"
    test -s "$folder/quibo.exe" && test -s "$folder/quibo-p-lo.res" || { echo "handheld files missing"; exit 1; }
    [ "$(ls "$folder" | grep -c '\.res$')" = 1 ] || { echo "handheld got other packs"; ls "$folder"; exit 1; }
    find "$work/device" -iname "quibo.lnk" | grep -q . || { echo "no handheld shortcut"; exit 1; }
    find "$work/device" -name "Uninstall Log for Quibo.txt" | grep -q . || { echo "no handheld journal"; exit 1; }
    ;;
rescan)
    start_setup
    "$bin/quibo-handheld" start --root "$work/device" >/dev/null
    click_du 44 123           # Rescan
    sleep 1.5
    shot rescan
    grep -q "target choice shown with target 1" "$out" || { echo "no target choice with both selected"; exit 1; }
    kill "$setup"; wait "$setup" || true
    ;;
nospace)
    "$bin/quibo-handheld" start --root "$work/device" --free 20000 >/dev/null
    start_setup
    click_du 40 90            # Install on both
    click_du 336 122          # Install
    final_box failure-en
    grep "QuiboSetup: Setup was unable to install the file" "$out" || { echo "no error naming the path"; exit 1; }
    test -s "$drive/Program Files/Quibo/quibo.exe" || { echo "the desktop installation was lost"; exit 1; }
    ;;
*)
    echo "unknown case $case"; exit 1;;
esac
echo "ok $case"
