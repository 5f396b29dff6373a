#!/usr/bin/env bash
# Fold benchmarks (figures only; nothing here is a pass or a fail):
#  1. TurnChange at 70 with hanging, push-out and the tag rule on: one 4 MB line against the
#     same 4 MB as 70-byte lines (and as 140-byte lines, each cut once).
#  2. TurnChange at 70 over the corpus as a whole process, beside `fold -b -w 70`, same run.
#     Uses `qlark TurnChange 70` when qlark takes a keyword and a file, else the driver.
# usage: bench/fold.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/bench/setup-corpus" >/dev/null
"$root/tools/build" native >/dev/null
corpus="$root/bench/corpus/ja.sjis"
out="$root/build/native/bench"
mkdir -p "$out"
driver="$out/fold_driver"
if [ ! -x "$driver" ] || [ -n "$(find "$root/src/core" "$root/bench/fold_driver.cpp" -newer "$driver" -print -quit)" ]; then
  ${CXX:-c++} -std=c++20 -O2 -I"$root/src/core" -I"$root/src" "$root/bench/fold_driver.cpp" \
    "$root/build/native/libqlplatform.a" "$root/build/native/libqlcore.a" $(pkg-config --libs libpcre2-16) -o "$driver"
fi

echo "== one long line against many lines"
"$driver" pieces "$corpus"

echo "== phases of the driver's run (read, clipboard load, fold, store, write)"
"$driver" phases 70 "$corpus" > /dev/null

echo "== whole process over $(basename "$corpus") ($(stat -c %s "$corpus") bytes), best of 3"
qlark="$root/build/native/qlark"
if printf "a" | "$qlark" TurnChange 70 > /dev/null 2>&1; then
  ours=("$qlark" TurnChange 70)
  label="qlark TurnChange 70"
else
  ours=("$driver" file 70)
  label="fold_driver file 70"
fi
best() {  # best wall time of three runs of "$@" < corpus, in seconds
  local b=
  for _ in 1 2 3; do
    local s e t
    s=$(date +%s.%N)
    "$@" < "$corpus" > /dev/null
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}
if [ "$label" = "fold_driver file 70" ]; then
  ours_t=$(best sh -c "\"$driver\" file 70 \"$corpus\"")
else
  ours_t=$(best "${ours[@]}")
fi
fold_t=$(best fold -b -w 70)
printf '%-24s %6.3f s\n' "$label" "$ours_t"
printf '%-24s %6.3f s\n' "fold -b -w 70" "$fold_t"
printf 'ratio (ours / fold)       %6.2f\n' "$(echo "$ours_t / $fold_t" | bc -l)"
