#!/usr/bin/env bash
# The real program on a virtual X server with JPEG pages beside a BMP page: 4:2:0, 4:2:2 and
# 4:4:4 colour, one grey and one progressive JPEG, made here with cjpeg in sizes that are no
# multiple of the 16-pixel MCU. The window follows each page's size and the picture equals, pixel for pixel,
# the page as the decoder itself gives it (decode_page_tool writes that as a BMP), so JPEG
# pages are painted by the same path as BMP pages. A damaged JPEG page fails to load: the
# window keeps its size and the trace says why.
# Usage: viewer_jpeg_pages_test.sh PATH/TO/setuvia PATH/TO/decode_page_tool
#        (XVFB_SHOTS_DIR=<folder> keeps the screenshots)
set -u
setuvia=$1
decode_page_tool=$2
source "$(dirname "$0")/xvfb_harness.sh"
command -v cjpeg >/dev/null 2>&1 || { echo "SKIP: cjpeg is not installed" >&2; exit 77; }
xvfb_start

xvfb_page_root "Jpeg Test"
pages=$XVFB_PAGES
out="$XVFB_TMP/out.txt"

# picture NAME WIDTH HEIGHT: a picture whose pixels differ from their neighbours, with sharp
# edges (the yellow square, the white frame) where JPEG rounding shows first.
picture() {
  convert -size "${2}x${3}" -seed "$2" plasma:green-purple \
    -fill yellow -draw "rectangle 3,3 20,20" -fill none -stroke white -draw "rectangle 0,0 $(($2 - 1)),$(($3 - 1))" \
    "$XVFB_TMP/$1.ppm" || xvfb_fail "convert could not make picture $1"
}

# jpeg_page FILE WIDTH HEIGHT CJPEG_OPTIONS...: a JPEG page and, beside it, the viewer's own
# decode of it as a BMP to compare screenshots with.
jpeg_page() {
  local file=$1 width=$2 height=$3 size
  shift 3
  picture "$file" "$width" "$height"
  cjpeg -quality 85 "$@" -outfile "$pages/$file" "$XVFB_TMP/$file.ppm" || xvfb_fail "cjpeg could not make $file"
  size=$("$decode_page_tool" "$pages/$file" "$XVFB_TMP/$file.bmp") || xvfb_fail "$file does not decode"
  [ "$size" = "${width}x$height" ] || xvfb_fail "$file decodes as $size, expected ${width}x$height"
}

convert -size 320x240 -seed 1 plasma:red-blue -type TrueColor "BMP3:$pages/01.bmp" ||
  xvfb_fail "convert could not make the BMP page"
cp "$pages/01.bmp" "$XVFB_TMP/01.bmp.bmp"
jpeg_page 02.jpg 333 217 -sample 2x2
jpeg_page 03.JPG 400 300 -sample 1x1
jpeg_page 04.jpg 257 131 -grayscale
jpeg_page 05.jpg 250 190 -sample 2x1
jpeg_page 05p.jpg 241 163 -sample 2x2 -progressive
# A page cut in its scan: the headers read, the image does not.
head -c 2000 "$pages/02.jpg" >"$pages/06-cut.jpg"

expect_page() { xvfb_expect_page "$win" "$1" "$2" "$3" "$XVFB_TMP/$1.bmp"; }

SETUVIA_TRACE=1 xvfb_launch "$out" "$setuvia" -root_dir="$XVFB_ROOT" -lang_id=0x0409
win=$(xvfb_wait_window "Installation Instruction")
expect_page 01.bmp 320 240
xvfb_point_at "$win"
xvfb_keys Return
expect_page 02.jpg 333 217
xvfb_keys Return
expect_page 03.JPG 400 300
xvfb_keys Return
expect_page 04.jpg 257 131
xvfb_keys Return
expect_page 05.jpg 250 190
xvfb_keys Return
expect_page 05p.jpg 241 163
read -r _ _ w0 h0 <<<"$(xvfb_geometry "$win")"
xvfb_keys Return
xvfb_poll 10 grep -qxF "Error reading JPEG from memory" "$out" ||
  xvfb_fail "the damaged page was not reached: $(cat "$out")"
read -r _ _ w h <<<"$(xvfb_geometry "$win")"
[ "$w" = "$w0" ] && [ "$h" = "$h0" ] || xvfb_fail "the damaged page resized the window to ${w}x$h"
echo "the damaged page keeps the window at ${w}x$h"
xvfb_keys Return
status=$(xvfb_wait_exit 10)
[ "$status" = 0 ] || xvfb_fail "Finish did not end the program (status $status)"

for page in "02.jpg: width = 333, height = 217" "03.JPG: width = 400, height = 300" \
  "04.jpg: width = 257, height = 131" "05.jpg: width = 250, height = 190" \
  "05p.jpg: width = 241, height = 163"; do
  grep -qxF "File $pages/$page." "$out" || xvfb_fail "no trace line for $page: $(cat "$out")"
done
grep -q "^Cannot read image data from memory [0-9A-F]*$" "$out" &&
  grep -qxF "Error reading JPEG from memory" "$out" ||
  xvfb_fail "the damaged page's failure is not traced: $(cat "$out")"
echo "trace names every JPEG page and why the damaged one failed"
