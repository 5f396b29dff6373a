#!/usr/bin/env bash
# The XML loader on 1 MB texts made to be hard for it, beside the end-tag scan as written.
# Figures only. usage: bench/xml.sh   (after tools/build native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec nice -n 10 "$root/build/native/bench/xml_driver"
