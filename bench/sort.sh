#!/usr/bin/env bash
# Whole-process timings of the sort, duplicate-removal and tab commands (qlark) beside the
# usual text tools, on the benchmark corpus; prints the best of a few runs of each, the
# ratios, and where qlark's time goes (load, the operation, store; from bench/opdriver).
# usage: bench/sort.sh [runs]   (default 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
"$root/bench/setup-corpus" >/dev/null
corpus="$root/bench/corpus"
build="$root/build/bench"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQLK_TESTS=OFF -DQLK_BENCH=ON >/dev/null
cmake --build "$build" --target qlark opdriver >/dev/null
qlark="$build/qlark"
drv="$build/bench/opdriver"

# best wall time in seconds of running "$@" with stdin from $in, output discarded
best() {
  local b="" t
  for _ in $(seq "$runs"); do
    local s=$(date +%s.%N)
    "$@" < "$in" > /dev/null
    local e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  printf '%.3f' "$b"
}

row() {  # name, ours, theirs, their name, macro line
  printf '%-34s %8ss   %-26s %8ss   ratio %.2f\n' "$1" "$2" "$4" "$3" "$(echo "$2 / $3" | bc -l)"
  printf '%-34s %s\n' "" "($("$drv" -t "$5" < "$in" 2>&1 >/dev/null))"
}

in="$corpus/lines1m.sjis"
uptime
echo "input $(basename "$in"): $(wc -l < "$in") lines, $(stat -c %s "$in") bytes"
ours=$(best "$qlark" Sort1); theirs=$(best env LC_ALL=C sort -f)
row "Sort1" "$ours" "$theirs" "LC_ALL=C sort -f" Sort1
ours=$(best "$qlark" DupLineDel 0 1 1 0); theirs=$(best env LC_ALL=C awk '!seen[$0]++')
row "DupLineDel 0 1 1 0 (unsorted)" "$ours" "$theirs" "awk '!seen[\$0]++'" "DupLineDel 0 1 1 0"

in="$corpus/ja.sjis"
echo "input $(basename "$in"): $(wc -l < "$in") lines, $(stat -c %s "$in") bytes"
ours=$(best "$qlark" TabSpace 8); theirs=$(best env LC_ALL=C expand)
row "TabSpace 8" "$ours" "$theirs" "expand" "TabSpace 8"
ours=$(best "$qlark" SpaceTab 8); theirs=$(best env LC_ALL=C unexpand -a)
row "SpaceTab 8" "$ours" "$theirs" "unexpand -a" "SpaceTab 8"
