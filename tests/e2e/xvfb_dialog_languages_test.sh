#!/usr/bin/env bash
# The viewer dialog template of every language on a real X display: each button label
# draws glyphs (dark pixels inside the button), the page frame shows the test picture
# upright, and the keyboard works (Tab moves the focus, Enter presses, Escape cancels).
# Usage: xvfb_dialog_languages_test.sh PATH/TO/ui_dialog_showcase
# (XVFB_SHOTS_DIR=<folder> keeps the screenshots.)
set -u
showcase=$1
source "$(dirname "$0")/xvfb_harness.sh"
xvfb_start

out="$XVFB_TMP/out.txt"
shot="$XVFB_TMP/shot.png"

rect_of() {  # rect_of ID -> "left top right bottom" from the showcase's layout lines
  awk -v id="$1" '$1 == "control" && $2 == id { print $3, $4, $5, $6 }' "$out"
}

check_language() {
  local lang=$1 id l t r b dark
  xvfb_launch "$out" "$showcase" "$lang"
  local win
  win=$(xvfb_wait_window "ProductName")
  xvfb_screenshot "$win" "$shot"
  [ -n "${XVFB_SHOTS_DIR:-}" ] && cp "$shot" "$XVFB_SHOTS_DIR/dialog-$lang.png"
  for id in 2 3 4; do
    read -r l t r b <<<"$(rect_of "$id")"
    [ -n "$l" ] || xvfb_fail "$lang: no layout line for control $id"
    dark=$(xvfb_dark_pixels "$shot" $((l + 6)) $((t + 6)) $((r - l - 12)) $((b - t - 12)))
    [ "$dark" -ge 8 ] || xvfb_fail "$lang: button $id shows no text ($dark dark pixels)"
  done
  read -r l t r b <<<"$(rect_of 1000)"
  # Top-left quarter of the picture is red, bottom-left blue (drawn upright).
  [ "$(xvfb_pixel "$shot" $((l + 5)) $((t + 5)))" = "255 0 0" ] || xvfb_fail "$lang: picture not drawn"
  [ "$(xvfb_pixel "$shot" $((l + 5)) $((t + (b - t) / 2 - 5)))" = "0 0 255" ] ||
    xvfb_fail "$lang: picture not upright"
  echo "$lang: labels and picture drawn"
}

for lang in 0x0404 0x0407 0x0409 0x040C 0x0410 0x0411 0x0412 0x0419 0x0804 0x0C0A; do
  check_language "$lang"
  xvfb_stop_program
done

# Keyboard: the focus starts on Exit (first tab stop); Tab reaches "< Previous", Enter
# presses it, Escape ends the dialog with Cancel.
xvfb_launch "$out" "$showcase" 0x0409
win=$(xvfb_wait_window "ProductName")
xvfb_point_at "$win"
xvfb_keys Tab Return Escape
status=$(xvfb_wait_exit 10)
[ "$status" = 0 ] || xvfb_fail "showcase ended with status $status"
grep -qx "click 3" "$out" || xvfb_fail "Enter did not press the focused button: $(cat "$out")"
grep -qx "end 2" "$out" || xvfb_fail "Escape did not cancel: $(cat "$out")"
echo "keyboard: Tab, Enter and Escape work"

# A drop-down list: the focus starts on it, Down twice selects the third name, Enter
# presses the default button (OK); the selected name is drawn (light on the highlight).
xvfb_launch "$out" "$showcase" list 0x0411
win=$(xvfb_wait_window "Select")
xvfb_point_at "$win"
xvfb_keys Down Down
xvfb_screenshot "$win" "$shot"
read -r l t r b <<<"$(rect_of 1001)"
light=$(xvfb_light_pixels "$shot" $((l + 4)) $((t + 4)) $((r - l - 30)) $((b - t - 8)))
[ "$light" -ge 8 ] || xvfb_fail "the list shows no text ($light light pixels)"
xvfb_keys Return
status=$(xvfb_wait_exit 10)
[ "$status" = 0 ] || xvfb_fail "list showcase ended with status $status"
grep -qx "selected ドイツ語" "$out" || xvfb_fail "Down, Down, Enter chose wrongly: $(cat "$out")"
grep -qx "end 1" "$out" || xvfb_fail "Enter did not press OK: $(cat "$out")"
echo "list: Down and Enter work"
