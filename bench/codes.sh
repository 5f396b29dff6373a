#!/usr/bin/env bash
# Times the code conversions as whole qlark processes (standard input to standard output)
# beside nkf and iconv on the same input, in the same run, and prints each ratio
# (qlark time / peer time; 1.0 or less means at least the peer's throughput). "frame" is
# qlark TextAll on the same input: reading, splitting, storing and writing the text without
# converting it, so "conv" (qlark minus frame) is what the conversion itself adds. Times are
# CPU seconds (user + system; a shared machine makes wall time unsteady), with the ratio of
# wall times beside the ratio of CPU times.
# usage: bench/codes.sh [runs]     (default 5; needs tools/build native first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
qlark="$root/build/native/qlark"
corpus="$root/bench/corpus"
[ -x "$qlark" ] || { echo "codes.sh: build qlark first (tools/build native)" >&2; exit 1; }
for t in nkf iconv hyperfine python3; do
  command -v "$t" >/dev/null || { echo "codes.sh: $t is missing (tools/setup installs it)" >&2; exit 1; }
done
"$root/bench/setup-corpus" >/dev/null

# JIS and EUC inputs, written by a peer so that neither side reads its own output.
[ -s "$corpus/ja.jis" ] || nkf -S -j -x < "$corpus/ja.sjis" > "$corpus/ja.jis"
[ -s "$corpus/ja.euc" ] || nkf -S -e -x < "$corpus/ja.sjis" > "$corpus/ja.euc"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so the settings of whoever runs this do not change the work.
export XDG_CONFIG_HOME="$work/config" HOME="$work"
mkdir -p "$XDG_CONFIG_HOME"

# name | input | qlark keyword | peer command
cases=(
  "SjisToJis|ja.sjis|SjisToJis|nkf -S -j -x"
  "JisToSjis|ja.jis|JisToSjis|nkf -J -s -x"
  "SjisToEuc|ja.sjis|SjisToEuc|nkf -S -e -x"
  "EucToSjis|ja.euc|EucToSjis|nkf -E -s -x"
  "SjisToUtf8|ja.sjis|SjisToUtf8|iconv -f CP932 -t UTF-8"
  "Utf8ToSjis|ja.utf8|Utf8ToSjis|iconv -f UTF-8 -t CP932"
)

printf '%-11s %6s %8s %8s %8s %8s %6s %6s  %s\n' conversion MB "qlark s" "frame s" "conv s" "peer s" ratio wall peer
for c in "${cases[@]}"; do
  IFS='|' read -r name input keyword peer <<< "$c"
  in="$corpus/$input"
  # Same bytes out, or the timing means nothing.
  "$qlark" "$keyword" < "$in" > "$work/q.out"
  $peer < "$in" > "$work/p.out"
  cmp -s "$work/q.out" "$work/p.out" || echo "codes.sh: $name: qlark and '$peer' differ" >&2
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/$name.json" \
    "$qlark $keyword < $in" "$qlark TextAll < $in" "$peer < $in" > /dev/null
  python3 - "$work/$name.json" "$name" "$(stat -c %s "$in")" "$peer" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, f, p = (x["user"] + x["system"] for x in r)
wall = r[0]["mean"] / r[2]["mean"]
print(f"{sys.argv[2]:<11} {int(sys.argv[3]) / 1e6:6.1f} {q:8.3f} {f:8.3f} {q - f:8.3f} {p:8.3f} {q / p:6.2f} {wall:6.2f}  {sys.argv[4]}")
EOF
done
