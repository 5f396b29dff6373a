#!/usr/bin/env bash
# One long line against many short ones: the streamed keywords on the first 6.5 MB and 16 MB of
# the corpus, once as the manual pages' lines ("lines") and once with every line break taken
# out ("1 line"), beside base64 and nkf on the same shapes. A line longer than the block should
# cost what as many bytes of short lines do: compare the two rows of each keyword.
# usage: bench/longline.sh [runs]     (default 5; before=PATH adds an older qlark's rows)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
command -v nkf >/dev/null && command -v base64 >/dev/null || { echo "longline.sh: nkf and base64 are needed" >&2; exit 1; }

# The shapes (kept beside the corpus, not committed), each written by a peer tool.
shape() {  # NAME MB: NAME-lines.sjis (cut at a line end) and NAME-1line.sjis (no line break)
  local f="$corpus/$1-lines.sjis"
  [ -s "$f" ] || python3 - "$corpus/ja.sjis" "$f" "$corpus/$1-1line.sjis" "$2" <<'EOF'
import sys
text = open(sys.argv[1], "rb").read(int(float(sys.argv[4]) * 1e6))
text = text[: text.rfind(b"\r\n") + 2]
open(sys.argv[2], "wb").write(text)
open(sys.argv[3], "wb").write(text.replace(b"\r\n", b""))
EOF
  for s in lines 1line; do
    local g="$corpus/$1-$s"
    [ -s "$g.euc" ] || nkf -S -e -x < "$g.sjis" > "$g.euc"
    [ -s "$g.jis" ] || nkf -S -j -x < "$g.sjis" > "$g.jis"
  done
  # Base64 as ToMime writes it (each line on its own, no wrapping), and as base64 -d reads it.
  [ -s "$corpus/$1-1line.b64" ] || base64 -w0 < "$corpus/$1-1line.sjis" > "$corpus/$1-1line.b64"
  [ -s "$corpus/$1-lines.b64" ] || python3 - "$corpus/$1-lines.sjis" "$corpus/$1-lines.b64" <<'EOF'
import base64, sys
lines = open(sys.argv[1], "rb").read().split(b"\r\n")
open(sys.argv[2], "wb").write(b"\r\n".join(base64.b64encode(l) for l in lines))
EOF
  [ -s "$corpus/$1-lines.b64w" ] || base64 < "$corpus/$1-lines.sjis" > "$corpus/$1-lines.b64w"
}
shape m6 6.5
shape m16 16

compare_header
for s in lines 1line; do
  compare "ToMime $s" "$corpus/m6-$s.sjis" ToMime "base64 -w0" "$corpus/m6-$s.sjis" "$corpus/m6-$s.b64"
done
compare "MimeToSjis lines" "$corpus/m6-lines.b64" MimeToSjis "base64 -d" "$corpus/m6-lines.b64w" "$corpus/m6-lines.sjis"
compare "MimeToSjis 1line" "$corpus/m6-1line.b64" MimeToSjis "base64 -d" "$corpus/m6-1line.b64" "$corpus/m6-1line.sjis"
for s in lines 1line; do
  g="$corpus/m16-$s"
  compare "ZenToHan $s" "$g.sjis" ZenToHan "nkf -Z4 -s"
  compare "SjisToEuc $s" "$g.sjis" SjisToEuc "nkf -S -e -x"
  compare "EucToSjis $s" "$g.euc" EucToSjis "nkf -E -s -x"
  compare "SjisToJis $s" "$g.sjis" SjisToJis "nkf -S -j -x"
  compare "JisToSjis $s" "$g.jis" JisToSjis "nkf -J -s -x"
  compare "SjisToUtf8 $s" "$g.sjis" SjisToUtf8 "iconv -f CP932 -t UTF-8"
done
