#!/usr/bin/env bash
# Document timings: the clipboard round trip beside a plain split, and the memory of undo
# snapshots that share their lines beside snapshots that copy them.
source "$(dirname "$0")/lib.sh"
"$drivers/doc_bench" roundtrip
"$drivers/doc_bench" undo-shared
"$drivers/doc_bench" undo-copies
