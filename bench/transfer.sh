#!/usr/bin/env bash
# Times the transfer encodings and the code detection as whole qlark processes, beside
# coreutils base64 and base64 -d (encodings) and nkf --guess and uchardet (detection) on the
# same text, in one run, and prints each ratio (qlark time / peer time; 1.0 or less means at
# least the peer's throughput). The encoded inputs are written by python3, so that neither
# side reads its own output; the decoders' results are checked against the original text.
# "frame" is qlark TextAll on the same input: reading, splitting, storing and writing the
# text without converting it. Times are CPU seconds (user + system; a shared machine makes
# wall time unsteady), with the ratio of wall times beside the ratio of CPU times.
# usage: bench/transfer.sh [runs]     (default 5; needs tools/build native first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
qlark="$root/build/native/qlark"
corpus="$root/bench/corpus"
[ -x "$qlark" ] || { echo "transfer.sh: build qlark first (tools/build native)" >&2; exit 1; }
for t in base64 nkf uchardet iconv hyperfine python3; do
  command -v "$t" >/dev/null || { echo "transfer.sh: $t is missing (tools/setup installs it)" >&2; exit 1; }
done
"$root/bench/setup-corpus" >/dev/null

# Inputs in every form, each written by a peer (kept beside the corpus, not committed).
[ -s "$corpus/ja.euc" ] || nkf -S -e -x < "$corpus/ja.sjis" > "$corpus/ja.euc"
[ -s "$corpus/ja.jis" ] || nkf -S -j -x < "$corpus/ja.sjis" > "$corpus/ja.jis"
[ -s "$corpus/ja.b64" ] || base64 < "$corpus/ja.sjis" > "$corpus/ja.b64"
if [ ! -s "$corpus/ja.url" ] || [ ! -s "$corpus/ja.mime" ]; then
  python3 - "$corpus" <<'EOF'
import base64, sys, urllib.parse
d = sys.argv[1]
lines = open(f"{d}/ja.sjis", "rb").read().split(b"\r\n")
with open(f"{d}/ja.url", "wb") as u, open(f"{d}/ja.mime", "wb") as m:
    u.write(b"\r\n".join(urllib.parse.quote_from_bytes(l, safe="!*'()").encode() for l in lines))
    m.write(b"\r\n".join(base64.b64encode(l) for l in lines))
EOF
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so the settings of whoever runs this do not change the work.
export XDG_CONFIG_HOME="$work/config" HOME="$work"
mkdir -p "$XDG_CONFIG_HOME"

# name | qlark input | qlark command | peer input | peer command | file the qlark output must equal
cases=(
  "SjisToUrl|ja.sjis|SjisToUrl|ja.sjis|base64 -w0|ja.url"
  "UrlToSjis|ja.url|UrlToSjis|ja.b64|base64 -d|ja.sjis"
  "ToMime|ja.sjis|ToMime|ja.sjis|base64 -w0|ja.mime"
  "MimeToSjis|ja.mime|MimeToSjis|ja.b64|base64 -d|ja.sjis"
)

printf '%-22s %6s %8s %8s %8s %6s %6s  %s\n' conversion MB "qlark s" "frame s" "peer s" ratio wall peer
for c in "${cases[@]}"; do
  IFS='|' read -r name qin keyword pin peer want <<< "$c"
  "$qlark" "$keyword" < "$corpus/$qin" > "$work/q.out"
  cmp -s "$work/q.out" "$corpus/$want" || echo "transfer.sh: $name: qlark's output differs from $want" >&2
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/$name.json" \
    "$qlark $keyword < $corpus/$qin" "$qlark TextAll < $corpus/$qin" "$peer < $corpus/$pin" > /dev/null
  python3 - "$work/$name.json" "$name" "$(stat -c %s "$corpus/ja.sjis")" "$peer" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, f, p = (x["user"] + x["system"] for x in r)
wall = r[0]["mean"] / r[2]["mean"]
print(f"{sys.argv[2]:<22} {int(sys.argv[3]) / 1e6:6.1f} {q:8.3f} {f:8.3f} {p:8.3f} {q / p:6.2f} {wall:6.2f}  {sys.argv[4]}")
EOF
done

# Detection of whole files: qlark --detect runs the file scan and, after loading the text as
# the clipboard would hold it, the document detection.
printf '\n%-22s %6s %8s %8s %6s %8s %6s\n' detection MB "qlark s" "nkf s" ratio "uchar s" ratio
for input in ja.sjis ja.euc ja.jis ja.utf8; do
  f="$corpus/$input"
  echo "  $input: $("$qlark" --detect "$f" | tr '\n' ' ')| nkf: $(nkf --guess "$f") | uchardet: $(uchardet "$f")"
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/detect.json" \
    "$qlark --detect $f" "nkf --guess $f" "uchardet $f" > /dev/null
  python3 - "$work/detect.json" "detect $input" "$(stat -c %s "$f")" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, n, u = (x["user"] + x["system"] for x in r)
print(f"{sys.argv[2]:<22} {int(sys.argv[3]) / 1e6:6.1f} {q:8.3f} {n:8.3f} {q / n:6.2f} {u:8.3f} {q / u:6.2f}")
EOF
done
