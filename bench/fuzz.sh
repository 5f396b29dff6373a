#!/usr/bin/env bash
# Runs every fuzz target for longer than tools/test does (default ten minutes each), at low
# priority. usage: bench/fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec nice -n 10 "$root/tools/fuzz" "${1:-600}"
