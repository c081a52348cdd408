#!/usr/bin/env bash
# The real program on a virtual X server: a page folder of three BMP pages of different
# sizes (beside a .txt and a .jpeg file that are not pages) opens at the first page's size
# with the product's title, each page's picture equals its pixels exactly, Tab / Return /
# Shift+Tab page forward and back, and Finish on the last page ends the process.
# Usage: viewer_pages_test.sh PATH/TO/setuvia   (XVFB_SHOTS_DIR=<folder> keeps the screenshots)
set -u
setuvia=$1
source "$(dirname "$0")/xvfb_harness.sh"
xvfb_start

xvfb_page_root "Trace Test"
pages=$XVFB_PAGES
out="$XVFB_TMP/out.txt"

# make_page NAME WIDTH HEIGHT: a 24-bit bottom-up BMP whose every pixel differs from its
# neighbours, and a PNG of the same pixels to compare screenshots with.
make_page() {
  convert -size "${2}x${3}" -seed "${2}" plasma:red-blue \
    -fill yellow -draw "rectangle 0,0 9,9" -fill lime -draw "point $(($2 - 1)),$(($3 - 1))" \
    -type TrueColor -define bmp:format=bmp3 "BMP3:$pages/$1.bmp" ||
    xvfb_fail "convert could not make page $1"
  convert "$pages/$1.bmp" "$XVFB_TMP/$1.png"
}
make_page 01 320 240
make_page 02 400 300
make_page 03 256 128
echo "not a page" >"$pages/notes.txt"
convert -size 64x64 xc:green "$pages/photo.jpeg"

expect_page() { xvfb_expect_page "$win" "$1" "$2" "$3" "$XVFB_TMP/$1.png"; }

SETUVIA_TRACE=1 xvfb_launch "$out" "$setuvia" -root_dir="$XVFB_ROOT" -lang_id=0x0409
win=$(xvfb_wait_window "Installation Instruction")
title=$(xdotool getwindowname "$win")
[ "$title" = "Trace Test Installation Instruction" ] || xvfb_fail "title is '$title'"
expect_page 01 320 240

# The focus starts on "Next >".
xvfb_point_at "$win"
xvfb_keys Return
expect_page 02 400 300
xvfb_keys Return
expect_page 03 256 128
xvfb_keys shift+Tab Return
expect_page 02 400 300
xvfb_keys Tab Return
expect_page 03 256 128
xvfb_keys Return
status=$(xvfb_wait_exit 10)
[ "$status" = 0 ] || xvfb_fail "Finish did not end the program (status $status)"
echo "Finish ended the program"

for entry in . .. 01.bmp 02.bmp 03.bmp notes.txt photo.jpeg; do
  grep -qxF "Find file = $entry." "$out" || xvfb_fail "no trace line for entry $entry: $(cat "$out")"
done
for page in "01.bmp: width = 320, height = 240" "02.bmp: width = 400, height = 300" \
  "03.bmp: width = 256, height = 128"; do
  grep -qxF "File $pages/$page." "$out" || xvfb_fail "no trace line for $page: $(cat "$out")"
done
grep -qxF "Reach last file!" "$out" || xvfb_fail "no trace line for the last page"
echo "trace names every entry and every page shown"
