#!/usr/bin/env bash
# The system-wide install: `cmake --install` into a temporary DESTDIR, the desktop files
# validated, every program and helper where it belongs, no run path into the build, and the
# installed game started from its prefix (run under xvfb-run).
# Usage: install_e2e.sh BUILD BIN SHOTS WITH_GAME
#   BUILD is the configured build folder, BIN holds robot and quibo-pack, screenshots go to
#   SHOTS; WITH_GAME is 1 when the game program is part of the build.
source "$(dirname "$0")/helpers.sh"
build=$1
bin=$2
shots=$3
with_game=$4

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
[[ $with_game == 1 ]] && expected+=(bin/quibo)
[[ -x $bin/QuiboSetup ]] && expected+=(bin/QuiboSetup)
for file in "${expected[@]}"; do [[ -s $p/$file ]] || fail "missing $file"; done
for size in 16 22 24 32 48 64 128 256; do
  icon=$p/share/icons/hicolor/${size}x$size/apps/com.zelnor.Quibo.png
  [[ $(identify -format '%wx%h %[channels]' "$icon") == "${size}x$size srgba" ]] || fail "no ${size}x$size RGBA icon"
done

desktop=$p/share/applications/com.zelnor.Quibo.desktop
desktop-file-validate "$desktop"
grep -qx "Exec=$prefix/bin/quibo" "$desktop" || fail "desktop entry runs another program"
appstreamcli validate --no-net "$p/share/metainfo/com.zelnor.Quibo.metainfo.xml"

# Nothing installed may lean on the build folder; programs find the helpers beside each other.
for elf in "$p"/bin/* "$p/$helpers"/*; do
  runpath=$(readelf -d "$elf" | grep -E 'RUNPATH|RPATH' || true)
  [[ $runpath != *"$build"* ]] || fail "$elf runs with a path into the build: $runpath"
  [[ $elf != "$p/bin/"* || $runpath == *"\$ORIGIN/../$helpers"* ]] || fail "$elf cannot find the helpers"
done

if [[ $with_game == 1 ]]; then
  # From a folder that holds nothing of the game's, so only the prefix can provide the packs.
  cd "$work"
  spawn "$p/bin/quibo"
  packs=$p/share/quibo robot screen tutorial --shot installed
  # The desktop ties the window to its entry (and so to the icon) by the window's class.
  class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
  titled=$(xdotool search --onlyvisible --name '^Quibo$' | sort)
  classed=$(xdotool search --onlyvisible --class "^$class\$" | sort)
  [[ -n $titled && -n $(comm -12 <(echo "$titled") <(echo "$classed")) ]] ||
    fail "no window titled Quibo of class $class"
  finish "$pid"
fi
echo "install_e2e: passed"
