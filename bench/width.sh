#!/usr/bin/env bash
# Times the width conversions as whole qlark processes (standard input to standard output)
# beside Debian's nkf on the same Shift-JIS corpus in the same run, and prints each ratio
# (qlark time / nkf time; 1.0 or less means at least nkf's throughput):
#   qlark ZenToHan  beside  nkf -Z4 -s   (full width to half width)
#   qlark HanToZen  beside  nkf -s       (nkf's own pass, which widens half-width katakana)
# "frame" is qlark TextAll on the same input: reading, splitting, storing and writing the
# text without converting it, so "conv" (qlark minus frame) is what the conversion adds.
# The two sides do not convert exactly the same characters (nkf -Z4 leaves hiragana alone,
# for one), so the outputs are not compared; their sizes are printed to show work was done.
# Times are CPU seconds (user + system; a shared machine makes wall time unsteady), with the
# ratio of wall times beside the ratio of CPU times.
# usage: bench/width.sh [runs]     (default 5; needs tools/build native first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
qlark="$root/build/native/qlark"
corpus="$root/bench/corpus"
[ -x "$qlark" ] || { echo "width.sh: build qlark first (tools/build native)" >&2; exit 1; }
for t in nkf hyperfine python3; do
  command -v "$t" >/dev/null || { echo "width.sh: $t is missing (tools/setup installs it)" >&2; exit 1; }
done
"$root/bench/setup-corpus" >/dev/null
in="$corpus/ja.sjis"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so the settings of whoever runs this do not change the work.
export XDG_CONFIG_HOME="$work/config" HOME="$work"
mkdir -p "$XDG_CONFIG_HOME"

# name | qlark keyword | peer command
cases=(
  "ZenToHan|ZenToHan|nkf -Z4 -s"
  "HanToZen|HanToZen|nkf -s"
)

printf 'input %s: %.1f MB\n' "$in" "$(python3 -c 'import os, sys; print(os.path.getsize(sys.argv[1]) / 1e6)' "$in")"
printf '%-9s %8s %8s %8s %8s %6s %6s %9s %9s  %s\n' command "qlark s" "frame s" "conv s" "nkf s" ratio wall \
  "qlark MB" "nkf MB" peer
for c in "${cases[@]}"; do
  IFS='|' read -r name keyword peer <<< "$c"
  "$qlark" "$keyword" < "$in" > "$work/q.out" || { echo "width.sh: qlark $keyword failed" >&2; exit 1; }
  $peer < "$in" > "$work/p.out"
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/$name.json" \
    "$qlark $keyword < $in" "$qlark TextAll < $in" "$peer < $in" > /dev/null
  python3 - "$work/$name.json" "$name" "$(stat -c %s "$work/q.out")" "$(stat -c %s "$work/p.out")" "$peer" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, f, p = (x["user"] + x["system"] for x in r)
wall = r[0]["mean"] / r[2]["mean"]
print(f"{sys.argv[2]:<9} {q:8.3f} {f:8.3f} {q - f:8.3f} {p:8.3f} {q / p:6.2f} {wall:6.2f}"
      f" {int(sys.argv[3]) / 1e6:9.1f} {int(sys.argv[4]) / 1e6:9.1f}  {sys.argv[5]}")
PY
done
