#!/usr/bin/env bash
# Runs the built qlark as a process: standard streams, -i/-o, --utf8, -f, and its failures.
# usage: qlark_test.sh QLARK [WRAPPER]   (WRAPPER "wine" runs qlark.exe; paths go through winepath)
set -u
qlark=$1
wrap=${2:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0 runs=0

# Under Wine the messages come in the console's code page (932), as on a Japanese Windows.
q() {
  if [ -n "$wrap" ]; then
    local rc=0
    "$wrap" "$qlark" "$@" 2>"$tmp/stderr" || rc=$?
    iconv -f CP932 -t UTF-8 "$tmp/stderr" >&2
    return $rc
  else
    "$qlark" "$@"
  fi
}
p() { if [ -n "$wrap" ]; then winepath -w "$1"; else echo "$1"; fi; }
expect() {  # name, wanted, got
  runs=$((runs + 1))
  if [ "$2" == "$3" ]; then echo "[       OK ] qlark.$1"; else
    fails=$((fails + 1)); echo "[  FAILED  ] qlark.$1"; echo "    want: $(printf '%q' "$2")"; echo "    got:  $(printf '%q' "$3")"; fi
}
hex() { od -An -tx1 -v | tr -d ' \n'; }

# Standard input to standard output, bytes exact, without a final line break kept so.
got=$(printf 'a\r\nb' | q TextAll | hex)
expect StdinToStdoutKeepsTheBytes "610d0a62" "$got"

# A lower-case keyword and a line-selection macro line.
printf '1\r\n2\r\n3\r\n' > "$tmp/in.txt"
got=$(q textall -i "$(p "$tmp/in.txt")" | hex)
expect InputFileAndLowerCaseKeyword "310d0a320d0a330d0a" "$got"

# -o writes the file; nothing goes to standard output.
out=$(q TextAll -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/out.txt")")
expect OutputFileIsWritten "310d0a320d0a330d0a|" "$(hex < "$tmp/out.txt")|$out"

# A macro file: the range of a LineSelect line stays for the lines after it.
printf 'LineSelect 1 2 3\r\nLineEdit 0 x\r\nCopy\r\n' > "$tmp/m.qmc"
got=$(q -f "$(p "$tmp/m.qmc")" -i "$(p "$tmp/in.txt")" | hex)
expect MacroFileRuns "780d0a320d0a330d0a" "$got"

# --utf8: UTF-8 in, Shift-JIS inside, UTF-8 out.
got=$(printf 'あい\r\nう' | q --utf8 LineEdit 1 ア)
expect Utf8InAndOut "$(printf 'あい\r\nア')" "$got"

# The JIS forms of the wave dash and the minus sign are Shift-JIS characters: no complaint about
# lost characters, and they come back as code page 932 reads them (the full-width forms).
msg=$(printf 'a\xe3\x80\x9c\xe2\x88\x92' | q --utf8 TextAll 2>&1 >"$tmp/o")
expect Utf8JisFormsAreNotLost "61efbd9eefbc8d|0" "$(hex < "$tmp/o")|$(grep -c . <<<"$msg")"

# Characters Shift-JIS cannot hold ride through the run: no complaint, the emoji in place.
msg=$(printf '😀ｶﾞ\n' | q --utf8 HanToZen 2>&1 >"$tmp/o")
expect Utf8CarriesWhatShiftJisCannotHold "$(printf '😀ガ\n')|0" "$(cat "$tmp/o")|$(grep -c . <<<"$msg")"

# Unknown keyword: status 2, a message naming it, nothing written.
echo keep > "$tmp/keep.txt"
msg=$(q Frobnicate -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/keep.txt")" 2>&1 >/dev/null); rc=$?
expect UnknownKeywordFails "2|1|keep" "$rc|$(grep -c Frobnicate <<<"$msg")|$(cat "$tmp/keep.txt")"

# Unknown input file: a message and a failure status.
msg=$(q TextAll -i "$(p "$tmp/none.txt")" 2>&1 >/dev/null); rc=$?
expect UnknownInputFails "2|1" "$rc|$(grep -c none.txt <<<"$msg")"

# A macro file that cannot be opened: the message of the tool, status 1, output untouched.
msg=$(q -f "$(p "$tmp/none.qmc")" -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/keep.txt")" 2>&1 >/dev/null); rc=$?
expect UnknownMacroFileFails "1|1|keep" "$rc|$(grep -c 'ファイルを開けません' <<<"$msg")|$(cat "$tmp/keep.txt")"

# An empty input: "文書が存在しません", status 1.
msg=$(printf '' | q TextAll 2>&1 >/dev/null); rc=$?
expect EmptyDocumentFails "1|1" "$rc|$(grep -c '文書が存在しません' <<<"$msg")"

# Fold and column edits from the command line; an escaped argument makes line breaks.
got=$(printf 'abcdefg' | q TurnChange 3 | hex)
expect TurnChangeFolds "6162630d0a6465660d0a67" "$got"
expect InsertStringArgumentIsUnescaped "61780d0a7962630d0a" "$(printf 'abc\r\n' | q InsertString 2 'x\ny' | hex)"

# Replace from the command line: a typed \n cuts lines; the platform's expression engine
# expands $&; a malformed expression fails with its message and leaves the output alone.
expect ReplaceCutsAtTypedBreak "610d0a620d0a" "$(printf 'a,b\r\n' | q Replace , '\n' 0 0 | hex)"
expect RegexReplaceExpands "a<1>b<22>" "$(printf 'a1b22' | q Replace '\d+' '<$&>' 0 1)"
msg=$(q Replace '(' x 0 1 -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/keep.txt")" 2>&1 >/dev/null); rc=$?
expect MalformedRegexFails "1|1|keep" "$rc|$(grep -c '正規表現が正しくありません' <<<"$msg")|$(cat "$tmp/keep.txt")"

# A width that would grow the text past the limit is refused: status 1, output untouched.
msg=$(q KetaChange 2000000000 -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/keep.txt")" 2>&1 >/dev/null); rc=$?
expect AbsurdWidthIsRefused "1|1|keep" "$rc|$(grep -c '大きくなりすぎる' <<<"$msg")|$(cat "$tmp/keep.txt")"

# A one-line run streams its input; it gives the bytes of a run over the whole text (a macro
# file runs whole), through a pipe, past the blocks it reads and writes, and in a file.
awk 'BEGIN { for (i = 0; i < 60000; i++) printf "%d line of some length, %s\r\n", i, substr("abcdefghijklmnopqrstuvwxyz0123456789", 1, i % 37) }' > "$tmp/big.txt"
printf 'abc\x82' >> "$tmp/big.txt"  # a lone lead byte at the very end
printf 'TurnChange 9\r\n' > "$tmp/turn.qmc"
whole=$(q -f "$(p "$tmp/turn.qmc")" -i "$(p "$tmp/big.txt")" | md5sum)
expect StreamedRunGivesTheWholeRunsBytes "$whole" "$(cat "$tmp/big.txt" | q TurnChange 9 | md5sum)"
q TurnChange 9 -i "$(p "$tmp/big.txt")" -o "$(p "$tmp/big.out")"
expect StreamedRunToAFile "$whole" "$(md5sum < "$tmp/big.out")"
# The text ends at its first zero byte, as on the clipboard.
expect ZeroByteEndsTheText "610d0a62" "$(printf 'a\r\nb\000c\r\n' | q TextAll | hex)"
expect ZeroByteFirstIsNoText "1" "$(printf '\000abc' | q TextAll 2>&1 >/dev/null | grep -c '文書が存在しません')"
# One long line of Base64, which MimeToSjis must see to its end first ("=?" anywhere in it
# decides how it converts): a file is read twice, a pipe held; the bytes are the whole run's.
printf 'MimeToSjis\r\n' > "$tmp/mime.qmc"
for tail in "" "=?x"; do
  awk -v t="$tail" 'BEGIN { for (i = 0; i < 60000; i++) printf "gqCCooKk"; printf "%s\r\nYWJj", t }' > "$tmp/long.b64"
  whole=$(q -f "$(p "$tmp/mime.qmc")" -i "$(p "$tmp/long.b64")" | md5sum)
  got="$(q MimeToSjis < "$tmp/long.b64" | md5sum)|$(cat "$tmp/long.b64" | q MimeToSjis | md5sum)|$(q MimeToSjis -i "$(p "$tmp/long.b64")" | md5sum)"
  expect "LongMimeLineStreams${tail:+WithEncodedWords}" "$whole|$whole|$whole" "$got"
done
# A file given with -i is read a block at a time as standard input is, to the same bytes.
expect StreamedFileGivesTheBytesOfStdin "$(q ToMime < "$tmp/big.txt" | md5sum)" "$(q ToMime -i "$(p "$tmp/big.txt")" | md5sum)"
printf 'a\r\nb\000c\r\n' > "$tmp/zero.txt"
expect ZeroByteEndsAStreamedFile "610d0a62" "$(q TextAll -i "$(p "$tmp/zero.txt")" | hex)"

# --in-place: the macro over each file, each rewritten after its own run (a JIS file is read as
# Shift-JIS, as the tray's Open reads it); a file whose run fails stays, and the others go on.
printf 'ToUpper\r\nInsertEndLine end\r\n' > "$tmp/up.qmc"
printf 'ab\ncd' > "$tmp/f1.txt"
printf '\033$B$"\033(Bx\r\n' > "$tmp/f2.txt"
q -f "$(p "$tmp/up.qmc")" --in-place "$(p "$tmp/f1.txt")" "$(p "$tmp/f2.txt")"; rc=$?
expect InPlaceRewritesEachFile "0|41420d0a43440d0a656e640d0a|82a0580d0a656e640d0a" "$rc|$(hex < "$tmp/f1.txt")|$(hex < "$tmp/f2.txt")"
printf 'ToUpper\r\nReplace ( x 0 1\r\n' > "$tmp/bad.qmc"
msg=$(q -f "$(p "$tmp/bad.qmc")" --in-place "$(p "$tmp/none.txt")" "$(p "$tmp/keep.txt")" 2>&1); rc=$?
expect InPlaceLeavesAFileWhoseRunFailed "1|keep|1" "$rc|$(cat "$tmp/keep.txt")|$(grep -c keep.txt <<<"$msg")"
msg=$(q --in-place "$(p "$tmp/keep.txt")" 2>&1); rc=$?
expect InPlaceNeedsAMacro "2|1" "$rc|$(grep -c -- '--in-place' <<<"$msg")"

# --list names every keyword of the table, one a line, the interpreter's first; --help says how.
table=$(dirname "$0")/../../src/core/macro/Keywords.def
list=$(q --list | tr -d '\r')
expect ListHasEveryKeyword "$(grep -oE '^QLK_KW(_EXTRA)?\([A-Za-z0-9]+' "$table" | sed 's/.*(//' | tr '\n' ' ')" \
  "$(echo "$list" | awk '{print $1}' | tr '\n' ' ')"
q --help | grep -q -- '--utf8'; expect HelpMentionsOptions "0" "$?"
# --version: the number of the file VERSION, which the build reads.
expect VersionIsTheTreesVersion "qlark (Quenlark Tray) $(head -n1 "$(dirname "$0")/../../VERSION")" "$(q --version | tr -d '\r')"

# --detect: the file scan and the document detection of a file. ESC ( B alone is JIS only
# to the document detection; EUC and UTF-8 text, and a file that cannot be read.
printf 'a\033(Bb\r\n' > "$tmp/esc.txt"
got=$(q --detect "$(p "$tmp/esc.txt")" | tr -d '\r' | tr '\n' '|')
expect DetectAsciiEscape "file: 4 ASCII|document: 1 JIS|" "$got"
printf '\033$B$"\033(B\r\n' > "$tmp/jis.txt"
got=$(q --detect "$(p "$tmp/jis.txt")" | tr -d '\r' | tr '\n' '|')
expect DetectJis "file: 1 JIS|document: 1 JIS|" "$got"
printf '\264\301\273\372\n' > "$tmp/euc.txt"
got=$(q --detect "$(p "$tmp/euc.txt")" | tr -d '\r' | tr '\n' '|')
expect DetectEuc "file: 2 EUC|document: 2 EUC|" "$got"
printf '\343\201\202\n' > "$tmp/utf8.txt"
got=$(q --detect "$(p "$tmp/utf8.txt")" | tr -d '\r' | sed -n 2p)
expect DetectUtf8AsTheDocument "document: 3 UTF8" "$got"
msg=$(q --detect "$(p "$tmp/none.txt")" 2>&1 >/dev/null); rc=$?
expect DetectUnreadableFileFails "2|1" "$rc|$(grep -c none.txt <<<"$msg")"

# MimeOut: the decoded bytes in the file, the text unchanged; a file that cannot be created
# says so and fails. Its path is an escaped argument, so a Windows path doubles its backslashes.
esc() { p "$1" | sed 's/\\/\\\\/g'; }
got=$(printf 'YWJj\r\nAAE=' | q MimeOut "$(esc "$tmp/mime.bin")" | hex)
expect MimeOutWritesTheFile "59574a6a0d0a4141453d|6162630001" "$got|$(hex < "$tmp/mime.bin")"
msg=$(printf 'YWJj' | q MimeOut "$(esc "$tmp/no/such/x.bin")" 2>&1 >/dev/null); rc=$?
expect MimeOutCannotCreate "1|1" "$rc|$(grep -c 'ファイルが開けません' <<<"$msg")"

# After a message the run goes on as the tray's does: standard output gets what the tray
# would store, standard error the message, and the status is 1; -o leaves its file alone.
printf 'MimeOut %s\r\nStrCat !\r\n' "$(esc "$tmp/no/such/x.bin")" > "$tmp/fail.qmc"
printf 'YWJj\r\nab' | q -f "$(p "$tmp/fail.qmc")" >"$tmp/o" 2>"$tmp/err"; rc=$?
expect MessageThenTheRunGoesOn "1|59574a6a210d0a616221|1" "$rc|$(hex < "$tmp/o")|$(grep -c 'ファイルが開けません' "$tmp/err")"
q -f "$(p "$tmp/fail.qmc")" -i "$(p "$tmp/in.txt")" -o "$(p "$tmp/keep.txt")" 2>/dev/null; rc=$?
expect MessageLeavesTheOutputFile "1|keep" "$rc|$(cat "$tmp/keep.txt")"
# The same for one-line runs, also those that go through the text in pieces: the message is
# shown once, and the text comes out as the refused or failed command left it.
for args in "MimeOut $(esc "$tmp/no/such/x.bin")" "Replace ( x 0 1" "KetaChange 2000000000"; do
  # shellcheck disable=SC2086
  q $args -i "$(p "$tmp/in.txt")" >"$tmp/o" 2>"$tmp/err"; rc=$?
  expect "MessageKeepsTheText:${args%% *}" "1|310d0a320d0a330d0a|1" "$rc|$(hex < "$tmp/o")|$(grep -c 'qlark: ' "$tmp/err")"
done

# --xml: the tree as the loader sees it and the text written back; a missing file says which.
printf '\xEF\xBB\xBF<?xml version="1.0"?>\r\n<r a=1><b>x</B><c/></r>' > "$tmp/u.xml"
# Under Wine the headings come in the console's code page, as the messages do.
got=$(q --xml "$(p "$tmp/u.xml")" | { if [ -n "$wrap" ]; then iconv -f CP932 -t UTF-8; else cat; fi; } | tr -d '\r' | tr '\n' '|')
expect XmlShowsTreeAndText '== 木構造|element "r" a="1"|  element "b" (no end tag)|  element "c" (empty) (no end tag)|== 書き戻したテキスト|<?xml version="1.0" encoding="utf-8" ?><r a="1"><b /><c /></r>|' "$got"
msg=$(q --xml "$(p "$tmp/none.xml")" 2>&1 >/dev/null); rc=$?
expect XmlMissingFileFails "2|1" "$rc|$(grep -c 'ファイルのオープンに失敗しました:.*none.xml' <<<"$msg")"

# Output with Japanese headings: under Wine in the console's code page.
conv() { if [ -n "$wrap" ]; then iconv -f CP932 -t UTF-8; else cat; fi; }

# MultiFileReplace: the word replaced in every file the pattern names, each in its own code (a
# UTF-8 file keeps its mark and its emoji), in a folder whose name holds a space; a file without
# the word is not written; the two counts on standard output.
mkdir -p "$tmp/mfr/a dir"
printf 'one ONE\r\n' > "$tmp/mfr/a dir/a.txt"
printf '\xef\xbb\xbfone \xf0\x9f\x98\x80\n' > "$tmp/mfr/a dir/b.txt"
printf 'nothing\r\n' > "$tmp/mfr/a dir/c.txt"
printf 'one' > "$tmp/mfr/a dir/d.log"
touch -d '2001-02-03 04:05:06' "$tmp/mfr/a dir/c.txt"
before=$(stat -c %Y "$tmp/mfr/a dir/c.txt")
got=$(q MultiFileReplace "$(p "$tmp/mfr/a dir")" '*.txt' one '1\s1' | conv | tr -d '\r' | tr '\n' '|')
files="$(hex < "$tmp/mfr/a dir/a.txt")|$(hex < "$tmp/mfr/a dir/b.txt")|$(cat "$tmp/mfr/a dir/d.log")|$(stat -c %Y "$tmp/mfr/a dir/c.txt")"
expect MultiFileReplaceRewritesTheFolder "置換ファイル数: 2|置換語数: 3||312031203120310d0a|efbbbf31203120f09f98800a|one|$before" "$got|$files"
msg=$(q MultiFileReplace "$(p "$tmp/mfr")" '*.txt' 2>&1 >/dev/null); rc=$?
expect MultiFileReplaceWantsFourArguments "2|1" "$rc|$(grep -c 'MultiFileReplace' <<<"$msg")"

# --count: the figures of the count dialog, for a file and for standard input.
printf 'あア1a漢。\r\nwell-\r\nknown' | iconv -f UTF-8 -t CP932 > "$tmp/count.txt"
got=$(q --count "$(p "$tmp/count.txt")" | conv | tr -d '\r' | tr '\n' '|')
expect CountShowsTheFigures "全文字数: 16|漢字: 1 (6%)|ひらがな: 1 (6%)|カタカナ: 1 (6%)|英字: 10 (62%)|数字: 1 (6%)|記号: 2 (12%)|バイト: 26|英単語としての単語数: 2 語|" "$got"
got=$(head -c 1534 /dev/zero | tr '\0' 'x' | q --count | conv | tr -d '\r' | sed -n '1p;8p' | tr '\n' '|')
expect CountFromStandardInput "全文字数: 1,534|バイト: 1,536 (1.5K)|" "$got"
msg=$(printf '\r\n' | q --count 2>&1 >/dev/null); rc=$?
expect CountOfNothingSaysSo "1|1" "$rc|$(grep -c 'カウントする行を選択してください' <<<"$msg")"

echo "[==========] $runs qlark process tests ran."
if [ "$fails" -eq 0 ]; then echo "[  PASSED  ] $runs tests."; else echo "[  FAILED  ] $fails tests."; exit 1; fi
