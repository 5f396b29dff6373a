#!/usr/bin/env bash
# The multi-file replacement (qlark MultiFileReplace) beside GNU sed rewriting the same folder
# in place, in one run: 2,000 Shift-JIS files, 50 MB in all, cut from the corpus at line ends,
# a word put into every tenth of them. Each timed run starts from a fresh copy of the folder
# (the copy is not timed). The peers:
#   find DIR -name '*.txt' -exec sed -i -f S {} +     (sed started once per batch of files)
#   find DIR -name '*.txt' -exec sed -i -f S {} \;    (sed started once per file; with each=1)
# sed rewrites every file it is given; qlark rewrites only the files that hold the word.
# "same" tells whether the folders the two leave are equal byte for byte.
# usage: [each=1] bench/multireplace.sh [runs]   (default 5)
runs=${1:-5}
source "$(dirname "$0")/lib.sh"
word=置換試験語
repl=書換済
sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
printf 's/%s/%s/g\n' "$(sj $word)" "$(sj $repl)" > "$work/s.sed"
python3 - "$corpus/ja.sjis" "$work/tmpl" "$(sj $word)" <<'PY'
import os, sys
src, out, word = sys.argv[1], sys.argv[2], os.fsencode(sys.argv[3])
data = open(src, "rb").read(50 * 1024 * 1024)
assert word not in data
os.makedirs(out)
n, start = 2000, 0
for i in range(n):
    cut = data.find(b"\n", start + len(data) // n)
    end = len(data) if i == n - 1 or cut < 0 else cut + 1
    chunk = data[start:end]
    if i % 10 == 0:
        mid = chunk.find(b"\n", len(chunk) // 2) + 1
        chunk = chunk[:mid] + word + b" " + chunk[mid:]
    open(os.path.join(out, f"{i:04d}.txt"), "wb").write(chunk)
    start = end
PY
files=$(ls "$work/tmpl" | wc -l)
mb=$(du -sm --apparent-size "$work/tmpl" | cut -f1)
q="$qlark MultiFileReplace $work/run '*.txt' $word $repl"
batch="find $work/run -name '*.txt' -exec sed -i -f $work/s.sed {} +"
perfile="find $work/run -name '*.txt' -exec sed -i -f $work/s.sed {} \\;"
prep="rm -rf $work/run && cp -r $work/tmpl $work/run"

# The folders each leaves, compared.
bash -c "$prep" && LC_ALL=C bash -c "$q" > "$work/q.txt" && mv "$work/run" "$work/by-qlark"
bash -c "$prep" && LC_ALL=C bash -c "$batch" && mv "$work/run" "$work/by-sed"
same=no
diff -r -q "$work/by-qlark" "$work/by-sed" > /dev/null && same=yes
uptime
echo "folder: $files files, $mb MB; qlark says: $(tr '\n' ' ' < "$work/q.txt")"
peers=("LC_ALL=C $batch")
[ "${each:-0}" = 1 ] && peers+=("LC_ALL=C $perfile")
hyperfine --style none --warmup 1 --runs "$runs" --prepare "$prep" --export-json "$work/mfr.json" \
  "LC_ALL=C $q" "${peers[@]}" > /dev/null 2> "$work/hyperfine.err"
python3 - "$work/mfr.json" "$same" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
names = ["qlark MultiFileReplace", "find -exec sed -i {} +", "find -exec sed -i {} \\;"]
print(f"{'case':<26} {'wall s':>8} {'cpu s':>8} {'wall/qlark':>10}")
for n, x in zip(names, r):
    print(f"{n:<26} {x['mean']:8.3f} {x['user'] + x['system']:8.3f} {x['mean'] / r[0]['mean']:10.2f}")
print(f"same result as sed: {sys.argv[2]}")
PY
