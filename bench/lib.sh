# Sourced by the bench scripts: builds qlark and the timing drivers (build/native), makes the
# corpus, gives the run a profile of its own, and times qlark beside a peer tool.
# Figures only: nothing here passes or fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${runs:-5}
"$root/tools/build" native >/dev/null
"$root/bench/setup-corpus" >/dev/null
qlark="$root/build/native/qlark"
drivers="$root/build/native/bench"
corpus="$root/bench/corpus"
for t in hyperfine python3; do
  command -v "$t" >/dev/null || { echo "bench: $t is missing (tools/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The settings of whoever runs this must not change the work.
export XDG_CONFIG_HOME="$work/config" HOME="$work"
mkdir -p "$XDG_CONFIG_HOME"

compare_header() {
  uptime
  printf '%-22s %6s %8s %8s %8s %8s %6s %6s %6s  %s\n' case "in MB" "qlark s" "frame s" "op s" "peer s" ratio wall same peer
}

# compare NAME INPUT QLARK-ARGS PEER-COMMAND [PEER-INPUT [WANT]]
# Times `qlark QLARK-ARGS < INPUT`, `qlark TextAll < INPUT` (the frame alone: reading,
# splitting, storing and writing without changing the text) and `PEER-COMMAND < PEER-INPUT`
# (INPUT by default) in one hyperfine run. Times are CPU seconds (user + system; a shared
# machine makes wall time unsteady); "ratio" is qlark/peer in CPU time, "wall" the same in
# wall time, "same" whether qlark's output equals the file WANT, or else the peer's output,
# byte for byte (not every pair converts exactly the same set).
# With `before=PATH` in the environment, a second row times that qlark (an older build) too.
compare() {
  compare_one "$@"
  if [ -n "${before:-}" ]; then qlark=$before compare_one "$1 (before)" "${@:2}"; fi
}

compare_one() {
  local name=$1 in=$2 args=$3 peer=$4 pin=${5:-$2} want=${6:-}
  # shellcheck disable=SC2086
  "$qlark" $args < "$in" > "$work/q.out" || { echo "bench: qlark $args failed" >&2; return 1; }
  bash -c "$peer" < "$pin" > "$work/p.out"
  local same=no
  cmp -s "$work/q.out" "${want:-$work/p.out}" && same=yes
  hyperfine --style none --warmup 1 --runs "$runs" --output=pipe --export-json "$work/$name.json" \
    "$qlark $args < $in" "$qlark TextAll < $in" "$peer < $pin" > /dev/null 2> "$work/hyperfine.err"
  python3 - "$work/$name.json" "$name" "$(stat -c %s "$in")" "$same" "$peer" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
q, f, p = (x["user"] + x["system"] for x in r)
wall = r[0]["mean"] / r[2]["mean"]
print(f"{sys.argv[2]:<22} {int(sys.argv[3]) / 1e6:6.1f} {q:8.3f} {f:8.3f} {q - f:8.3f} {p:8.3f} {q / p:6.2f} {wall:6.2f} {sys.argv[4]:>6}  {sys.argv[5]}")
PY
}
