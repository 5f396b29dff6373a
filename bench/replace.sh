#!/usr/bin/env bash
# Times the replace commands as whole qlark processes (standard input to standard output)
# beside GNU sed (LC_ALL=C, bytes) doing the same replacement on the same Shift-JIS corpus in
# the same run, and prints each ratio (qlark time / sed time; 1.0 or less is the goal):
#   plain    Replace ファイル 書類 0 0   beside  sed 's/ファイル/書類/g'
#   whole    the same line from a macro file (the whole text in memory, not in pieces)
#   regex    Replace [0-9]+ # 0 1        beside  sed -E 's/[0-9]+/#/g'
#   options  Replace ファイル 書類 7 0   (width, case and kana folded) beside the same sed
# A keyword given on the command line runs over the text in pieces of lines; a macro file
# runs over the whole text at once.
# "frame" is qlark TextAll on the same input: reading, splitting, storing and writing the text
# without changing it, so "work" (qlark minus frame) is what the replacement adds.
# sed matches bytes, so it may also take a word starting at a trail byte; the outputs are
# compared and the number of differing lines printed (0 expected for this corpus).
# Times are CPU seconds (user + system; a shared machine makes wall time unsteady), with the
# ratio of wall times beside the ratio of CPU times.
# usage: bench/replace.sh [runs]     (default 5; needs tools/build native first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
qlark="$root/build/native/qlark"
corpus="$root/bench/corpus"
[ -x "$qlark" ] || { echo "replace.sh: build qlark first (tools/build native)" >&2; exit 1; }
for t in sed hyperfine python3 iconv; do
  command -v "$t" >/dev/null || { echo "replace.sh: $t is missing (tools/setup installs it)" >&2; exit 1; }
done
"$root/bench/setup-corpus" >/dev/null
in="$corpus/ja.sjis"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so the settings of whoever runs this do not change the work.
export XDG_CONFIG_HOME="$work/config" HOME="$work" LC_ALL=C
mkdir -p "$XDG_CONFIG_HOME"

sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
find=$(sj ファイル)
repl=$(sj 書類)
# The sed scripts hold the Shift-JIS bytes, so they go in files rather than on the command line.
printf 's/%s/%s/g\n' "$find" "$repl" > "$work/plain.sed"
printf 's/[0-9]+/#/g\n' > "$work/regex.sed"
# Same for qlark's macro lines.
printf 'Replace %s %s 0 0\r\n' "$find" "$repl" > "$work/plain.qmc"

# name | qlark arguments (the command line is UTF-8) | sed arguments
cases=(
  "plain|Replace ファイル 書類 0 0|-f $work/plain.sed"
  "whole|-f $work/plain.qmc|-f $work/plain.sed"
  "regex|Replace '[0-9]+' '#' 0 1|-E -f $work/regex.sed"
  "options|Replace ファイル 書類 7 0|-f $work/plain.sed"
)

printf 'input %s: %.1f MB\n' "$in" "$(python3 -c 'import os, sys; print(os.path.getsize(sys.argv[1]) / 1e6)' "$in")"
printf '%-8s %8s %8s %8s %8s %6s %6s %10s\n' case "qlark s" "frame s" "work s" "sed s" ratio wall "diff lines"
for c in "${cases[@]}"; do
  IFS='|' read -r name qargs sedargs <<< "$c"
  eval "\"\$qlark\" $qargs" < "$in" > "$work/q.out" || { echo "replace.sh: qlark $name failed" >&2; exit 1; }
  # shellcheck disable=SC2086
  sed $sedargs < "$in" > "$work/s.out"
  diffs=$( (diff -a "$work/q.out" "$work/s.out" || true) | grep -c '^<' || true)
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/$name.json" \
    "$qlark $qargs < $in" "$qlark TextAll < $in" "sed $sedargs < $in" > /dev/null
  python3 - "$work/$name.json" "$name" "$diffs" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, f, s = (x["user"] + x["system"] for x in r)
wall = r[0]["mean"] / r[2]["mean"]
print(f"{sys.argv[2]:<8} {q:8.3f} {f:8.3f} {q - f:8.3f} {s:8.3f} {q / s:6.2f} {wall:6.2f} {sys.argv[3]:>10}")
PY
done
