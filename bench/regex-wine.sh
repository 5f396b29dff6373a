#!/usr/bin/env bash
# The regular-expression replace of qlark.exe under Wine with each of its engines, beside GNU
# sed (LC_ALL=C, bytes) on the first megabyte of the corpus:
#   object    the platform's scripting RegExp object
#   builtin   the built-in engine, with the object's DLL switched off as on a Windows without it
# Both run Replace [0-9]+ N 0 1 beside sed -E 's/[0-9]+/N/g'. "frame s" is qlark.exe's TextAll
# under Wine (start-up, reading and writing), so "op s" is the replace itself.
# usage: bench/regex-wine.sh [runs]   (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
"$root/tools/build" win >/dev/null
. "$root/tools/wine-env"
wine_env_start
trap 'wine_env_stop; rm -rf "$work"' EXIT

# The first whole lines of at least 1,000,000 bytes.
in="$work/1mb.sjis"
python3 - "$corpus/ja.sjis" "$in" <<'PY'
import sys
data = open(sys.argv[1], "rb").read(2_000_000)
end = data.index(b"\r\n", 1_000_000) + 2
open(sys.argv[2], "wb").write(data[:end])
PY

exe=$(winepath -w "$root/build/win/qlark.exe")
for engine in object builtin; do
  overrides=$WINEDLLOVERRIDES
  [ "$engine" = builtin ] && overrides="$overrides;vbscript=d"
  printf '#!/bin/sh\nWINEDLLOVERRIDES="%s" exec wine "%s" "$@"\n' "$overrides" "$exe" > "$work/qlark-$engine"
  chmod +x "$work/qlark-$engine"
done

compare_header
for engine in object builtin; do
  qlark="$work/qlark-$engine"
  compare "regex, $engine" "$in" "Replace [0-9]+ N 0 1" "LC_ALL=C sed -E s/[0-9]+/N/g"
done
