#!/usr/bin/env bash
# End-to-end tests of QlkTray.exe under Wine: the driver's suite, then screenshots of the
# popup menu, a submenu and the settings dialog in build/e2e/ for a person to look at; then the
# setup program's suite and a screenshot of its first page.
# Expects tools/wine-env to be sourced and started (a display, the prefix, a wineserver).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win="$root/build/win"
tray=$(winepath -w "$win/QlkTray.exe")
driver="$win/tests/qlk_e2e.exe"
out="$root/build/e2e"
mkdir -p "$out"

wine "$driver" suite "$tray" object
echo "== the regular-expression checks again, with the scripting object switched off"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;vbscript=d" wine "$driver" suite "$tray" builtin regex

shot() { sleep 1; import -window root "$out/$1"; }
wine "$driver" start "$tray"
wine "$driver" open-menu
shot menu.png
wine "$driver" keys DOWN RIGHT
shot submenu.png
wine "$driver" cancel
wine "$driver" command 32783
shot replacedlg.png
wine "$driver" cancel
wine "$driver" command 32806
shot setdlg.png
wine "$driver" cancel
wine "$driver" exit
echo "screenshots: $out/menu.png $out/submenu.png $out/setdlg.png $out/replacedlg.png"

echo "== the setup program: silent install, upgrade over a running copy, uninstall"
version=$(head -n1 "$root/VERSION")
setup=$(winepath -w "$win/QlkTraySetup.exe")
wine "$driver" setup-suite "$setup" "$version"
# Its first page, in a Wine virtual desktop, which draws the title bar.
title="Quenlark Tray $version セットアップ"
wine explorer /desktop=qlksetup,720x520 "$setup" >/dev/null 2>&1 &
wine "$driver" wait-window "$title" qlksetup
sleep 1
import -window root -crop 720x520+0+0 +repage "$out/setup.png"
wine "$driver" close-window "$title" qlksetup
echo "screenshot: $out/setup.png"
