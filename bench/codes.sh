#!/usr/bin/env bash
# The code conversions as whole qlark processes beside nkf and iconv on the same input.
# usage: bench/codes.sh [runs]     (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
command -v nkf >/dev/null && command -v iconv >/dev/null || { echo "codes.sh: nkf and iconv are needed" >&2; exit 1; }
# JIS and EUC inputs, written by a peer so that neither side reads its own output.
[ -s "$corpus/ja.jis" ] || nkf -S -j -x < "$corpus/ja.sjis" > "$corpus/ja.jis"
[ -s "$corpus/ja.euc" ] || nkf -S -e -x < "$corpus/ja.sjis" > "$corpus/ja.euc"
compare_header
compare SjisToJis "$corpus/ja.sjis" SjisToJis "nkf -S -j -x"
compare JisToSjis "$corpus/ja.jis" JisToSjis "nkf -J -s -x"
compare SjisToEuc "$corpus/ja.sjis" SjisToEuc "nkf -S -e -x"
compare EucToSjis "$corpus/ja.euc" EucToSjis "nkf -E -s -x"
compare SjisToUtf8 "$corpus/ja.sjis" SjisToUtf8 "iconv -f CP932 -t UTF-8"
compare Utf8ToSjis "$corpus/ja.utf8" Utf8ToSjis "iconv -f UTF-8 -t CP932"
