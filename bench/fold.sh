#!/usr/bin/env bash
# Fold timings:
#  1. TurnChange at 70 with hanging, push-out and the tag rule on: one 4 MB line against the
#     same 4 MB as 70-byte lines (and as 140-byte lines, each cut once).
#  2. The phases of a fold of the whole corpus (read, clipboard load, fold, store, write).
#  3. TurnChange 70 over the corpus as a whole qlark process beside `fold -b -w 70`.
# usage: bench/fold.sh [runs]   (default 3)
runs=${1:-3}
source "$(dirname "$0")/lib.sh"
echo "== one long line against many lines"
"$drivers/fold_driver" pieces "$corpus/ja.sjis"
echo "== phases"
"$drivers/fold_driver" phases 70 "$corpus/ja.sjis" > /dev/null
echo "== whole process"
compare_header
compare "TurnChange 70" "$corpus/ja.sjis" "TurnChange 70" "fold -b -w 70"
