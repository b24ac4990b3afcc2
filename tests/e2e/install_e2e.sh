#!/usr/bin/env bash
# The system-wide install: `cmake --install` into a temporary DESTDIR, the desktop files
# validated, every program and helper where it belongs, no run path into the build, and the
# installed game started from its prefix (run under xvfb-run).
# Usage: install_e2e.sh BUILD BIN SHOTS WITH_GAME
#   BUILD is the configured build folder, BIN holds robot and quibo-pack, screenshots go to
#   SHOTS; WITH_GAME is 1 when the game program is part of the build.
set -euo pipefail
build=$1
bin=$2
shots=$3
with_game=$4
work=$(mktemp -d)
game_pid=
cleanup() {
  [[ -n "$game_pid" ]] && kill -TERM "$game_pid" 2>/dev/null
  [[ -n "$game_pid" ]] && wait "$game_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install_e2e: $*"; exit 1; }

prefix=/opt/quibo-e2e
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log"
[[ ! -e $prefix ]] || fail "installed outside DESTDIR"
p=$root$prefix

# The helpers' folder follows the platform's library folder (lib, or lib/MULTIARCH under /usr).
helpers=$(cd "$p" && ls -d lib/quibo lib/*/quibo 2>/dev/null | head -1 || true)
[[ -n $helpers ]] || fail "no helpers' folder"
expected=(
  "$helpers/librapi.so" "$helpers/libzzrapi.so" "$helpers/libuninstaller.so" "$helpers/rundll32"
  bin/quibo-handheld bin/quibo-scores
  share/applications/com.zelnor.Quibo.desktop share/metainfo/com.zelnor.Quibo.metainfo.xml
)
for pack in l-hi l-lo s-hi s-lo p-hi p-lo; do expected+=("share/quibo/quibo-$pack.res"); done
for size in 16 22 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/com.zelnor.Quibo.png"); done
[[ $with_game == 1 ]] && expected+=(bin/quibo)
[[ -x $bin/QuiboSetup ]] && expected+=(bin/QuiboSetup)
for file in "${expected[@]}"; do
  [[ -s $p/$file ]] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
  test "$(identify -format '%wx%h %[channels]' "$p/share/icons/hicolor/${size}x$size/apps/com.zelnor.Quibo.png")" = \
       "${size}x$size srgba" || fail "icon $size is not a ${size}x$size RGBA picture"
done

desktop-file-validate "$p/share/applications/com.zelnor.Quibo.desktop"
grep -qx "Exec=$prefix/bin/quibo" "$p/share/applications/com.zelnor.Quibo.desktop" || fail "desktop entry runs another program"
appstreamcli validate --no-net "$p/share/metainfo/com.zelnor.Quibo.metainfo.xml"

# Nothing installed may lean on the build folder; programs find the helpers beside each other.
for elf in "$p"/bin/* "$p/$helpers"/*; do
  runpath=$(readelf -d "$elf" | grep -E 'RUNPATH|RPATH' || true)
  [[ $runpath != *"$build"* ]] || fail "$elf runs with a path into the build: $runpath"
done
for program in "$p"/bin/*; do
  readelf -d "$program" | grep -Eq "R(UN)?PATH.*\\\$ORIGIN/../$helpers" || fail "$program cannot find the helpers"
done

if [[ $with_game == 1 ]]; then
  export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$XDG_DATA_HOME" "$shots"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # From a folder that holds nothing of the game's, so only the prefix can provide the packs.
  (cd "$work" && exec "$p/bin/quibo") & game_pid=$!
  "$bin/robot" screen tutorial --shot installed --tool "$bin/quibo-pack" --packs "$p/share/quibo" \
    --work "$work/robot" --shots "$shots"
  # The desktop ties the window to its entry (and so to the icon) by the window's class.
  class=$(sed -n 's/^StartupWMClass=//p' "$p/share/applications/com.zelnor.Quibo.desktop")
  titled=$(xdotool search --onlyvisible --name '^Quibo$' | sort)
  classed=$(xdotool search --onlyvisible --class "^$class\$" | sort)
  [[ -n $titled && -n $(comm -12 <(echo "$titled") <(echo "$classed")) ]] ||
    fail "no window titled Quibo of class $class"
  kill -TERM "$game_pid"
  status=0
  wait "$game_pid" || status=$?
  game_pid=
  [[ $status -eq 0 ]] || fail "quibo exited with $status"
fi
echo "install_e2e: passed"
