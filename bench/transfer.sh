#!/usr/bin/env bash
# The transfer encodings and the code detection as whole qlark processes, beside coreutils
# base64 and base64 -d (encodings) and nkf --guess and uchardet (detection), in one run.
# The encoded inputs are written by python3, so that neither side reads its own output; the
# outputs of qlark are checked against the original text ("same").
# usage: bench/transfer.sh [runs]     (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
for t in base64 nkf uchardet; do
  command -v "$t" >/dev/null || { echo "transfer.sh: $t is missing (tools/setup installs it)" >&2; exit 1; }
done

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

compare_header
compare SjisToUrl "$corpus/ja.sjis" SjisToUrl "base64 -w0" "$corpus/ja.sjis" "$corpus/ja.url"
compare UrlToSjis "$corpus/ja.url" UrlToSjis "base64 -d" "$corpus/ja.b64" "$corpus/ja.sjis"
compare ToMime "$corpus/ja.sjis" ToMime "base64 -w0" "$corpus/ja.sjis" "$corpus/ja.mime"
compare MimeToSjis "$corpus/ja.mime" MimeToSjis "base64 -d" "$corpus/ja.b64" "$corpus/ja.sjis"

# Detection of whole files: the file scan and the document detection (qlark --detect).
# "read s" is dd reading the file in 64 KiB pieces and doing nothing else: the floor of any
# detection that must see every byte.
printf '\n%-22s %6s %8s %8s %6s %8s %6s %8s\n' detection MB "qlark s" "nkf s" ratio "uchar s" ratio "read s"
for input in ja.sjis ja.euc ja.jis ja.utf8; do
  f="$corpus/$input"
  echo "  $input: $("$qlark" --detect "$f" | tr '\n' ' ')| nkf: $(nkf --guess "$f") | uchardet: $(uchardet "$f")"
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/detect.json" \
    "$qlark --detect $f" "nkf --guess $f" "uchardet $f" "dd if=$f of=/dev/null bs=64k status=none" \
    > /dev/null 2> "$work/hyperfine.err"
  python3 - "$work/detect.json" "detect $input" "$(stat -c %s "$f")" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, n, u, d = (x["user"] + x["system"] for x in r)
print(f"{sys.argv[2]:<22} {int(sys.argv[3]) / 1e6:6.1f} {q:8.3f} {n:8.3f} {q / n:6.2f} {u:8.3f} {q / u:6.2f} {d:8.3f}")
EOF
done
