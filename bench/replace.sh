#!/usr/bin/env bash
# The replace command as whole qlark processes beside GNU sed (LC_ALL=C, bytes) doing the same
# replacement on the same Shift-JIS corpus, in one run:
#   plain    Replace ファイル 書類 0 0   beside  sed 's/ファイル/書類/g'
#   whole    the same line from a macro file (the whole text in memory, not in pieces)
#   regex    Replace [0-9]+ N 0 1        beside  sed -E 's/[0-9]+/N/g'
#   options  Replace ファイル 書類 7 0   (width, case and kana folded) beside the same sed
# A keyword on the command line runs over the text in pieces of lines; a macro file runs over
# the whole text at once. sed matches bytes and may also take a word from a trail byte, so
# "same" tells whether the outputs agree (they do on this corpus).
# usage: bench/replace.sh [runs]   (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
find=$(sj ファイル)
repl=$(sj 書類)
# sed's script and qlark's macro file hold Shift-JIS bytes, so they go in files.
printf 's/%s/%s/g\n' "$find" "$repl" > "$work/plain.sed"
printf 'Replace %s %s 0 0\r\n' "$find" "$repl" > "$work/plain.qmc"
in="$corpus/ja.sjis"
compare_header
compare plain "$in" "Replace ファイル 書類 0 0" "LC_ALL=C sed -f $work/plain.sed"
compare whole "$in" "-f $work/plain.qmc" "LC_ALL=C sed -f $work/plain.sed"
compare regex "$in" "Replace [0-9]+ N 0 1" "LC_ALL=C sed -E s/[0-9]+/N/g"
compare options "$in" "Replace ファイル 書類 7 0" "LC_ALL=C sed -f $work/plain.sed"
