#!/usr/bin/env bash
# The sort, duplicate-removal and tab commands as whole qlark processes beside the usual
# text tools, then where qlark's time goes (load, the lines, store; from the opdriver).
# usage: bench/sort.sh [runs]   (default 3)
runs=${1:-3}
source "$(dirname "$0")/lib.sh"
compare_header
compare Sort1 "$corpus/lines1m.sjis" Sort1 "LC_ALL=C sort -f"
compare "DupLineDel 0 1 1 0" "$corpus/lines1m.sjis" "DupLineDel 0 1 1 0" "LC_ALL=C awk '!seen[\$0]++'"
compare "TabSpace 8" "$corpus/ja.sjis" "TabSpace 8" "LC_ALL=C expand"
compare "SpaceTab 8" "$corpus/ja.sjis" "SpaceTab 8" "LC_ALL=C unexpand -a"
echo "== phases"
for c in "lines1m.sjis|Sort1" "lines1m.sjis|DupLineDel 0 1 1 0" "ja.sjis|TabSpace 8" "ja.sjis|SpaceTab 8"; do
  IFS='|' read -r input line <<< "$c"
  printf '%-22s %s\n' "$line" "$("$drivers/opdriver" -t "$line" < "$corpus/$input" 2>&1 >/dev/null)"
done
