#!/usr/bin/env bash
# The real program as a reader meets it, on a 1024x768 virtual X server: Enter on the first
# page turns to the second; a 128-pixel page keeps all three buttons in the window; Left,
# Right and Page Down turn pages; a page larger than the screen shows shrunk in a window
# inside the screen; a broken page says so in the picture area; the page after it comes back
# centred. Without an X display the program says so on one line and ends with status 1.
# Usage: viewer_usability_test.sh PATH/TO/setuvia   (XVFB_SHOTS_DIR=<folder> keeps screenshots)
set -u
setuvia=$1
source "$(dirname "$0")/xvfb_harness.sh"

no_display=$(env -u DISPLAY "$setuvia" 2>&1 >/dev/null)
status=$?
[ "$status" = 1 ] && [ "$(printf '%s\n' "$no_display" | wc -l)" = 1 ] ||
  xvfb_fail "without a display: status $status, output '$no_display'"
echo "without a display: '$no_display', status 1"

xvfb_start
xvfb_page_root "Usability"
pages=$XVFB_PAGES
out="$XVFB_TMP/out.txt"
convert -size 400x300 -seed 1 plasma:red-blue -type TrueColor "BMP3:$pages/01.bmp"
convert -size 128x96 xc:orange -type TrueColor "BMP3:$pages/02.bmp"
convert -size 3000x2000 gradient:red-blue -quality 90 "$pages/03.jpg"
head -c 3000 "$pages/03.jpg" >"$pages/04.jpg"
convert -size 400x300 xc:teal -type TrueColor "BMP3:$pages/05.bmp"

# shown NAME: the last page the trace says was shown is NAME (waiting up to 10 s for it).
shown() {
  local last deadline=$((SECONDS + 10))
  while :; do
    last=$(grep "^File " "$out" | grep -v scaled | tail -1)
    [[ $last == "File $pages/$1:"* ]] && return 0
    [ $SECONDS -lt $deadline ] || xvfb_fail "expected $1 on display, the trace says '$last'"
    sleep 0.2
  done
}
# shot NAME X Y R G B: a screenshot once the pixel at X, Y has that colour (up to 10 s), so
# that a loaded machine's late repaint is not taken for a fault.
shot() {
  local deadline=$((SECONDS + 10))
  until xvfb_screenshot "$win" "$XVFB_TMP/$1.png" &&
    [ "$(xvfb_pixel "$XVFB_TMP/$1.png" "$2" "$3")" = "$4 $5 $6" ]; do
    [ $SECONDS -lt $deadline ] || xvfb_fail "$1: pixel $2,$3 is $(xvfb_pixel "$XVFB_TMP/$1.png" "$2" "$3"), not $4 $5 $6"
    sleep 0.3
  done
  [ -n "${XVFB_SHOTS_DIR:-}" ] && cp "$XVFB_TMP/$1.png" "$XVFB_SHOTS_DIR/usability-$1.png"
}
press() {
  xvfb_keys "$@"
  sleep 0.6
}

SETUVIA_TRACE=1 xvfb_launch "$out" "$setuvia" -root_dir="$XVFB_ROOT" -lang_id=0x0409
win=$(xvfb_wait_window "Installation Instruction")
xvfb_point_at "$win"
press Return
shown 02.bmp
echo "Enter on the first page shows the second"

# The 128-pixel page, orange, centred; each third of the button row holds a button's label.
read -r _ _ w h <<<"$(xvfb_geometry "$win")"
shot narrow $((w / 2)) 48 255 165 0
for third in 0 1 2; do
  dark=$(xvfb_dark_pixels "$XVFB_TMP/narrow.png" $((third * w / 3)) $((96 + 16)) $((w / 3)) 23)
  [ "$dark" -gt 10 ] || xvfb_fail "no button label in third $third of the ${w}-pixel button row"
done
echo "the 128-pixel page sits centred in a ${w}-pixel window with all three buttons"

press Left
shown 01.bmp
press Right
shown 02.bmp
press Next  # Page Down
grep -q "^File $pages/03.jpg: scaled to [0-9]*% (width = [0-9]*, height = [0-9]*) to fit the screen.$" "$out" ||
  xvfb_fail "the large page is not traced as scaled: $(cat "$out")"
read -r x y w h <<<"$(xvfb_geometry "$win")"
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1024 ] && [ $((y + h)) -le 768 ] ||
  xvfb_fail "the large page's window ${w}x$h at $x,$y leaves the screen"
echo "Left, Right and Page Down turn pages; the 3000x2000 page shows in a ${w}x$h window"

press Right
# The picture area is erased to the dialog's grey before the text goes on it.
shot broken 5 5 192 192 192
read -r _ _ w2 h2 <<<"$(xvfb_geometry "$win")"
[ "$w2 $h2" = "$w $h" ] || xvfb_fail "the broken page resized the window to ${w2}x$h2"
dark=$(xvfb_dark_pixels "$XVFB_TMP/broken.png" 0 0 "$w" $((h - 80)))
[ "$dark" -gt 50 ] || xvfb_fail "the broken page's area shows no text"
echo "the broken page says it cannot be shown"

press Right
read -r x y w h <<<"$(xvfb_geometry "$win")"
[ "$x $y $w $h" = "312 194 400 380" ] || xvfb_fail "the last page is at $x,$y ${w}x$h, not centred"
press Return
status=$(xvfb_wait_exit 10)
[ "$status" = 0 ] || xvfb_fail "Finish did not end the program (status $status)"
echo "the page after them comes back centred; Finish ends the program"
