#!/usr/bin/env bash
# The width conversions as whole qlark processes beside nkf on the Shift-JIS corpus:
#   ZenToHan beside nkf -Z4 -s (full width to half width), HanToZen beside nkf -s (its own
#   pass widens half-width katakana). The two sides do not convert exactly the same
#   characters (nkf -Z4 leaves hiragana alone, for one), so "same" is expected to say no.
# usage: bench/width.sh [runs]     (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
command -v nkf >/dev/null || { echo "width.sh: nkf is needed" >&2; exit 1; }
compare_header
compare ZenToHan "$corpus/ja.sjis" ZenToHan "nkf -Z4 -s"
compare HanToZen "$corpus/ja.sjis" HanToZen "nkf -s"
