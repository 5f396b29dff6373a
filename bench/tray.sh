#!/usr/bin/env bash
# QlkTray.exe end to end under Wine: one command (全て変換 to half width by default) on a
# 1 MB clipboard against the same on 5 bytes, the text standing on the clipboard as the
# tray's own store, as CF_TEXT and as CF_UNICODETEXT, and what pasting each result as Unicode
# costs (bench/win/tray_bench.cpp). With peer=OTHER/QlkTray.exe (a build of another commit)
# the two programs take turns, `rounds` times each (default 3), and the medians are shown side
# by side: a shared machine's load then falls on both alike.
# usage: [peer=EXE] [rounds=N] bench/tray.sh [command [count [megabytes]]]   (default 32829 20 1)
# Figures only: nothing here passes or fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build" win >/dev/null
# A tree configured before the driver existed builds it once asked.
cmake -S "$root" -B "$root/build/win" -DQLK_BENCH=ON >/dev/null
cmake --build "$root/build/win" --target tray_bench QlkTray >/dev/null
"$root/bench/setup-corpus" >/dev/null
. "$root/tools/wine-env"
wine_env_start own
trap wine_env_stop EXIT
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_env_stop' EXIT
# The programs run from copies, so that a build during the run changes nothing.
cp "$root/build/win/QlkTray.exe" "$work/this.exe"
names=(this)
if [ -n "${peer:-}" ]; then
  cp "$peer" "$work/peer.exe"
  names+=(peer)
fi
uptime
for round in $(seq "${rounds:-3}"); do
  for n in "${names[@]}"; do
    wine "$root/build/win/bench/tray_bench.exe" "$(winepath -w "$work/$n.exe")" \
      "$(winepath -w "$root/bench/corpus/ja.sjis")" "${1:-32829}" "${2:-20}" "${3:-1}" > "$work/$n.$round.txt"
    sed "s/^/$n #$round  /" "$work/$n.$round.txt"
  done
done
uptime
python3 - "$work" "${names[@]}" <<'PY'
import glob, statistics, sys
work, names = sys.argv[1], sys.argv[2:]
ways = ["own", "text", "unicode", "paste"]
med = {}
for n in names:
    per = {w: [] for w in ways}
    for f in glob.glob(f"{work}/{n}.*.txt"):
        for line in open(f):
            parts = line.split()
            if parts and parts[0] in per:
                per[parts[0]].append(float(parts[-1]))
    med[n] = {w: statistics.median(v) for w, v in per.items() if v}
print("median ms per command on 1 MB:")
print(f"{'way':<8}" + "".join(f"{n:>10}" for n in names))
for w in ways:
    print(f"{w:<8}" + "".join(f"{med[n].get(w, float('nan')):10.1f}" for n in names))
PY
