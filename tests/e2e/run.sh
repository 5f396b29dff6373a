#!/usr/bin/env bash
# End-to-end tests of QlkTray.exe under Wine: the driver's suite, then screenshots for a person
# to look at in build/e2e/ (each named after the window it shows), taken inside a virtual
# desktop so that title bars and the notification area appear as a user sees them: every
# menu, dialog and box at 96 dpi, and the dialogs with the longest labels again at 144 dpi.
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

dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
# shots DIR DPI [NAME...]
shots() {
  local dir=$1 scale=$2
  shift 2
  mkdir -p "$dir"
  rm -f "$dir"/*.png
  dpi "$scale"
  local status=0
  wine explorer "/desktop=qlk$scale,1280x860" "$driver" shots "$tray" "$(winepath -w "$dir")" "$@" || status=$?
  dpi 96
  for b in "$dir"/*.bmp; do
    [ -e "$b" ] || continue
    convert "$b" "${b%.bmp}.png"
    rm "$b"
  done
  return $status
}
trap 'dpi 96' EXIT
shots "$out" 96
shots "$out/144dpi" 144 searchdlg spaceinsdlg replacedlg kinsokudlg
echo "screenshots: $(cd "$out" && ls *.png 144dpi/*.png | tr '\n' ' ')"
