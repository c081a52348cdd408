#!/usr/bin/env bash
# setuvia-check as a packager runs it: the example tree passes and lists every page file
# (its folder names in the case start-up forms them); a tree with a broken page fails with
# the reason; usage errors exit with 2. No X server is needed.
# Usage: checker_test.sh SETUVIA_CHECK EXAMPLES_FOLDER
set -uo pipefail
checker=$1
examples=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

report=$("$checker" "$examples") || fail "examples: exit status $?"
while IFS= read -r page; do
  grep -qiF "page      $page: shown" <<<"$report" || fail "examples: $page is not listed as shown"
done < <(find "${examples%/}" -type f \( -iname '*.jpg' -o -iname '*.bmp' \) | sed 's|//|/|')
[ "$(grep -c '^page ' <<<"$report")" = "$(find "$examples" -type f \( -iname '*.jpg' -o -iname '*.bmp' \) | wc -l)" ] ||
  fail "examples: page count differs from the page files"
"$checker" --tsv "$examples" | head -1 | grep -qx $'kind\tverdict\tsubject\tstatus\tdetail' ||
  fail "--tsv: no header row"

mkdir -p "$tree/PageData/0x0409"
cp "$examples/PageData/0x0409/01.bmp" "$tree/PageData/0x0409/01.bmp"
head -c 300 "$examples/PageData/0x0409/02.jpg" >"$tree/PageData/0x0409/02.jpg"
report=$("$checker" "$tree")
status=$?
[ "$status" = 1 ] || fail "broken tree: exit status $status, expected 1"
grep -q "02.jpg: FAILURE: not shown: " <<<"$report" || fail "broken tree: no reason for 02.jpg"

"$checker" >/dev/null 2>&1; [ $? = 2 ] || fail "no folder: exit status is not 2"
"$checker" --bogus "$tree" >/dev/null 2>&1; [ $? = 2 ] || fail "unknown option: exit status is not 2"
"$checker" "$tree/none" >/dev/null 2>&1; [ $? = 2 ] || fail "missing folder: exit status is not 2"
exit $failed
