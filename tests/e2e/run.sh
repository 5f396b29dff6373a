#!/usr/bin/env bash
# End-to-end tests of QlkTray.exe under Wine: the driver's suite, then screenshots for a person
# to look at in build/e2e/ (each named after the window it shows), taken inside a virtual
# desktop so that title bars and the notification area appear as a user sees them: every
# menu, dialog and box at 96 dpi (the update check's against the test server below), and the
# dialogs with the longest labels again at 144 dpi; then the setup program's suite, a
# screenshot of its first page, and an update that installs a release.
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
# shots TRAY DIR DPI [--url URL] [NAME...]
shots() {
  local exe=$1 dir=$2 scale=$3
  shift 3
  mkdir -p "$dir"
  dpi "$scale"
  local status=0
  wine explorer "/desktop=qlk$scale,1280x860" "$driver" shots "$exe" "$(winepath -w "$dir")" "$@" || status=$?
  dpi 96
  for b in "$dir"/*.bmp; do
    [ -e "$b" ] || continue
    convert "$b" "${b%.bmp}.png"
    rm "$b"
  done
  return $status
}
trap 'dpi 96' EXIT
rm -f "$out"/*.png "$out"/144dpi/*.png
shots "$tray" "$out" 96
shots "$tray" "$out/144dpi" 144 searchdlg spaceinsdlg replacedlg kinsokudlg
# A page of the help file, taken out of QlkTray.chm, rendered by a headless browser (the help
# viewer under Wine has no HTML engine here).
page="$out/helppage"
rm -rf "$page"
mkdir -p "$page"
for f in menu01.html help.css; do chmls extract "$win/QlkTray.chm" "/$f" "$page/$f" >/dev/null; done
wkhtmltoimage --quiet --enable-local-file-access --width 900 "$page/menu01.html" "$out/helppage.png"

# ---- the update check, against a server on the loopback address. The tests make a key pair
# of their own and build the tray with its public half (only the key's object differs).
keys="$out/keys" www="$out/www"
rm -rf "$keys" "$www"
mkdir -p "$keys" "$www" "$win/testkey"
openssl ecparam -name prime256v1 -genkey -noout -out "$keys/private.pem"
openssl ec -in "$keys/private.pem" -pubout -out "$win/testkey/update-public.pem" 2>/dev/null
cmake --build "$win" --target QlkTrayTestKey >/dev/null
rm -f "$out/port"
python3 "$root/tests/e2e/update_server.py" "$www" "$out/port" 900 2>"$out/server.log" &
server=$!
trap 'kill $server 2>/dev/null || true; dpi 96' EXIT
for _ in $(seq 100); do [ -s "$out/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$out/port")"
setup="$win/tests/qlk_fakesetup.exe"
sum=$(sha256sum "$setup" | cut -d' ' -f1)
size=$(stat -c %s "$setup")
mkdir -p "$www/slow/newer" "$www/slow/big" "$www/missing"
cp "$setup" "$www/slow/newer/QlkSetup.exe"
head -c 3000000 /dev/zero >"$www/slow/big/QlkSetup.exe"
# entry FOLDER DATE LINK SHA256 SIZE: a signed information file
entry() {
  mkdir -p "$www/$1"
  printf '<?xml version="1.0" encoding="utf-8"?>\n<update>\n<item name="Other"><date>2099/1/1</date></item>\n<item name="QlkTray"><link>%s</link><version>1.50</version><description>新しい版です\n二行目</description><home>%s/</home><date>%s</date><sha256>%s</sha256><size>%s</size></item>\n</update>\n' \
    "$3" "$base" "$2" "$4" "$5" >"$www/$1/update.xml"
  "$root/tools/sign-release" "$keys/private.pem" "$www/$1/update.xml" >/dev/null
}
entry newer 2099/1/1 "$base/slow/newer/QlkSetup.exe" "$sum" "$size"
entry changed 2099/1/1 "$base/slow/newer/QlkSetup.exe" "$sum" "$size"
sed -i 's/1\.50/9.99/' "$www/changed/update.xml"
entry badhash 2099/1/1 "$base/slow/newer/QlkSetup.exe" "$(printf x | sha256sum | cut -d' ' -f1)" "$size"
entry cancel 2099/1/1 "$base/slow/big/QlkSetup.exe" "$sum" 3000000
entry older 2001/1/1 "$base/slow/newer/QlkSetup.exe" "$sum" "$size"
entry slow/shots 2099/1/1 "$base/slow/big/QlkSetup.exe" "$sum" 3000000
testtray=$(winepath -w "$win/testkey/QlkTray.exe")
wine "$driver" update-suite "$testtray" "$base"

shots "$testtray" "$out" 96 --url "$base/slow/shots/update.xml" updatecheck updateoffer updateprogress
echo "screenshots: $(cd "$out" && ls *.png 144dpi/*.png | tr '\n' ' ')"

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

echo "== an update that installs: the release after this one, made by tools/release with the tests' key"
cmake --build "$win" --target QlkTraySetupTestKey QlkTraySetupTestKeyNext >/dev/null
"$root/tools/release" --from "$win/testkey/next" --site "$base/release" --out "$www/release" "$keys/private.pem"
next=$(head -n1 "$win/testkey/next/setup/version.txt")
wine "$driver" release-suite "$(winepath -w "$win/testkey/QlkTraySetup.exe")" "$version" "$next" "$base/release/update.xml"
