#!/usr/bin/env bash
# Installs Quibo with QuiboSetup on a virtual display and uninstalls it again.
# Usage: installer_e2e.sh BIN SHOTS CASE  (run under xvfb-run); CASE is one of
#   desktop    no handheld: the panes rebuilt in Esperanto and back, Install, watch bar 1008, the
#              success box, the installed files and journal, the registered uninstall removes everything
#   both       the handheld appears after the start: Rescan shows the target choice; "Install
#              on both", two bars, the handheld's files, shortcut and registration; the game
#              started there shows the handheld layout
#   nospace    a handheld present at the start with too little room: the error box names the path
source "$(dirname "$0")/helpers.sh"
bin=$1
shots=$2
case=$3
trap '"$bin/quibo-handheld" stop >/dev/null 2>&1 || true; cleanup' EXIT
# LeakSanitizer's tracer crashes at this program's exit (signal 11 inside the tracer); the
# other sanitizers stay on, and the skin's tests run under LeakSanitizer.
export LSAN_OPTIONS=detect_leaks=0 HOME=$work QUIBO_TRACE=1 PATH=$bin:$PATH
drive=$XDG_DATA_HOME/quibo/drive_c
out=$work/setup.log

start_setup() { spawn "$bin/QuiboSetup" >"$out" 2>&1; setup=$pid; window Quibo 1; main=$win; }
# Positions in dialog units of the installer's templates (7/4 by 15/8 pixels, frame 20).
click_du() { click $((20 + $1 * 7 / 4)) $((20 + $2 * 15 / 8)) 0.7; }
snap() { shot "$shots/installer_$1.png"; }
# Rescan until the target choice shows (under load the pane or the handheld may not be ready
# yet), then "Install on both" and Install.
install_both() {
  for _ in $(seq 10); do
    grep -q "target choice shown" "$out" && break
    click_du 44 123 # Rescan
    for _ in $(seq 15); do grep -q "target choice shown" "$out" && break 2; sleep 0.2; done
  done
  grep -q "target choice shown" "$out" || fail "no target choice"
  snap "target-$1"
  click_du 40 90   # Install on both
  click_du 336 122 # Install
}
# The final box: wait for it, keep its picture, press its first button.
final_box() {
  until box=$(xdotool search --onlyvisible --name Quibo | grep -vx "$main" | head -1); do sleep 0.2; done
  sleep 1
  snap "$1"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 20 - 14 * 15 / 8)) click 1
  wait "$setup" || { grep -v "^rapi" "$out" | tail -40; fail "QuiboSetup failed"; }
}
# Bar $1's positions as the window showed them, without repeats, run through the rest in order.
expect_bar() {
  local bar re="^( 0)* $(printf '%s( [0-9]+)* ' "${@:2:$#-2}")${!#} \$"
  bar=" $(grep -o "QuiboSetup: bar $1 at [0-9]*" "$out" | awk '{print $5}' | uniq | tr '\n' ' ')"
  [[ $bar =~ $re ]] || fail "bar $1 ran$bar, not ${*:2}"
}

case $case in
desktop)
  start_setup
  snap welcome-en
  click_du 84 54 # Esperanto
  sleep 0.5
  snap welcome-eo
  xdotool search --onlyvisible --name "Quibo Instalilo" | grep -q . || fail "title not Esperanto"
  click_du 12 54 # English
  sleep 0.5
  click_du 336 122 # Install
  sleep 0.3
  snap progress-desktop
  final_box success-en
  expect_bar 1008 5 75 95 100
  folder="$drive/Program Files/Quibo"
  for f in quibo.exe quibo-s-lo.res quibo-s-hi.res quibo-l-lo.res quibo-l-hi.res; do
    test -s "$folder/$f" || fail "missing $f"
  done
  # The journal: the game's values, the language, the files in the order they were
  # installed, the folders made for them, the shortcut and the host's launcher.
  diff -u - "$drive/Program Files/Zelnor Software/Uninstall Log for Quibo.txt" <<EOF || fail "journal differs"
#
# This uninstall log is automatically generated during installation
# and is used by the Zelnor Software uninstaller for removing this
# product from your machine.
#
# If this file is missing or damaged, Windows will be unable to
# automatically uninstall this product.
#
$(printf '#%.0s' {1..79})

deletekey { "HKCU\Software" }
deletekey { "HKCU\Software\Zelnor" }
deletekey { "HKCU\Software\Zelnor\Quibo" }
deleteval { "HKCU\Software\Zelnor\Quibo" "Settings" }
deleteval { "HKCU\Software\Zelnor\Quibo" "HighScores" }
deletekey { "HKLM\SOFTWARE" }
deletekey { "HKLM\SOFTWARE\Zelnor" }
deletekey { "HKLM\SOFTWARE\Zelnor\NLS" }
deleteval { "HKLM\SOFTWARE\Zelnor\NLS" "Lang-Quibo" }
deleteval { "HKLM\SOFTWARE\Zelnor\NLS" "Opt-Quibo" }
deletedir { "C:\Program Files\Quibo" }
deletefile { "C:\Program Files\Quibo\quibo.exe" }
deletefile { "C:\Program Files\Quibo\quibo-s-lo.res" }
deletefile { "C:\Program Files\Quibo\quibo-s-hi.res" }
deletefile { "C:\Program Files\Quibo\quibo-l-lo.res" }
deletefile { "C:\Program Files\Quibo\quibo-l-hi.res" }
deletedir { "C:\Documents and Settings" }
deletedir { "C:\Documents and Settings\All Users" }
deletedir { "C:\Documents and Settings\All Users\Start Menu" }
deletedir { "C:\Documents and Settings\All Users\Start Menu\Programs" }
deletedir { "C:\Documents and Settings\All Users\Start Menu\Programs\Games" }
deletefile { "C:\Documents and Settings\All Users\Start Menu\Programs\Games\Quibo.lnk" }
deletefile { "$XDG_DATA_HOME/applications/zelnor-quibo.desktop" }
EOF
  find "$drive" -iname "quibo.lnk" | grep -q . || fail "no shortcut"
  # The installed game starts from its installed place and shows its window.
  if [ -x "$bin/quibo" ]; then
    spawn "$folder/quibo.exe" >"$work/game.log" 2>&1
    window "^Quibo$" 2
    snap installed-game
    kill "$pid"
    wait "$pid" || true
  fi
  # The registered uninstaller removes what the journal lists.
  rundll32 "C:\\Program Files\\Zelnor Software\\uninstaller.dll",Uninstall Quibo
  test ! -e "$folder/quibo.exe" || fail "uninstall left quibo.exe"
  ;;
both)
  start_setup
  "$bin/quibo-handheld" start --root "$work/device" >/dev/null
  install_both en
  grep -q "target choice shown with target 1" "$out" || fail "the target choice did not start on both"
  snap progress-both
  final_box success-both
  expect_bar 1009 5 90 95 100
  folder="$work/device/Program Files/Quibo"
  [[ -s $folder/quibo.exe && $(ls "$folder" | grep '\.res$') == quibo-p-lo.res ]] || fail "handheld files: $(ls "$folder")"
  find "$work/device" -name "Uninstall Log for Quibo.txt" | grep -q . || fail "no handheld journal"
  lnk="$work/device/Windows/Start Menu/Programs/Games/Quibo.lnk"
  [ "$(cat "$lnk")" = '32#"\Program Files\Quibo\quibo.exe"' ] || fail "handheld shortcut: $(cat "$lnk")"
  # The handheld's registration of the product, read from its own registry.
  XDG_DATA_HOME="$work/device/.quibo-handheld" "$bin/regquery" HKLM 'Software\Apps\Quibo' | sort | diff -u - <(printf '%s\n' \
    Instl=1 InstlDir=Quibo InstlDirCnt=0 'IsvFile=\Program Files\Zelnor Software\uninstaller.dll') || fail "handheld registration"
  # The installed game, started by the device, finds its pack and shows the handheld layout.
  spawn "$bin/quibo-handheld" run '\Program Files\Quibo\quibo.exe' >"$work/game.log" 2>&1
  packs=$folder robot screen tutorial --shot installer_handheld-game --timeout 30 | tee "$work/robot.log"
  grep -q "window 240x294" "$work/robot.log" || fail "the game's window is not the handheld layout's"
  kill "$pid"
  wait "$pid" || true
  ;;
nospace)
  "$bin/quibo-handheld" start --root "$work/device" --free 20000 >/dev/null
  start_setup
  install_both nospace
  final_box failure-en
  grep "QuiboSetup: Setup was unable to install the file" "$out" || fail "no error naming the path"
  test -s "$drive/Program Files/Quibo/quibo.exe" || fail "the desktop installation was lost"
  ;;
*) fail "unknown case $case" ;;
esac
echo "ok $case"
