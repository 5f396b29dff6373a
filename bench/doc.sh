#!/usr/bin/env bash
# Document benchmarks: the clipboard round trip beside a plain split, and the memory of undo
# snapshots that share their lines beside snapshots that copy them (figures only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build" native >/dev/null
out="$root/build/native/bench"
mkdir -p "$out"
${CXX:-c++} -std=c++20 -O2 -I"$root/src/core" -I"$root/src" "$root/bench/doc_bench.cpp" \
  "$root/build/native/libqlplatform.a" "$root/build/native/libqlcore.a" $(pkg-config --libs libpcre2-16) -o "$out/doc_bench"
"$out/doc_bench" roundtrip
"$out/doc_bench" undo-shared
"$out/doc_bench" undo-copies
