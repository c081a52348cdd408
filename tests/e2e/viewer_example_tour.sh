#!/usr/bin/env bash
# Shows the viewer on a virtual X server when there is no display to show it on: pages
# through the example pages with the keyboard (Return on "Next >" until Finish),
# saves a screenshot of every page and prints its path.
# Usage: viewer_example_tour.sh PATH/TO/setuvia ROOT_FOLDER/ SHOTS_FOLDER [PROGRAM ARGS...]
set -u
setuvia=$1
root=$2
shots=$3
shift 3
source "$(dirname "$0")/xvfb_harness.sh"
xvfb_start
mkdir -p "$shots"
rm -f "$shots"/page-*.png

# next_page_or_end SHOT: the viewer has ended, or its window no longer looks as in SHOT.
next_page_or_end() {
  [ -e "$XVFB_TMP/status" ] && return 0
  xwd -id "$win" -silent >"$XVFB_TMP/now.xwd" 2>/dev/null || return 1  # the window may be closing
  convert "$XVFB_TMP/now.xwd" "$XVFB_TMP/now.png" || return 1
  [ "$(compare -metric AE "$1" "$XVFB_TMP/now.png" null: 2>&1)" != 0 ]
}

xvfb_launch "$XVFB_TMP/out.txt" "$setuvia" -root_dir="$root" "$@"
win=$(xvfb_wait_window "Installation|Instruction|Istruzioni|Instrucciones|ProductName|VORN|Example" 15)
echo "The viewer runs on the virtual display $DISPLAY: \"$(xdotool getwindowname "$win")\""
xvfb_point_at "$win"
for page in $(seq 1 50); do
  shot="$shots/page-$page.png"
  xvfb_screenshot "$win" "$shot"
  read -r _ _ width height <<<"$(xvfb_geometry "$win")"
  echo "page $page (window ${width}x$height): $shot"
  xvfb_keys Return
  xvfb_poll 10 next_page_or_end "$shot" || echo "page $page: Return changed nothing within 10 s"
  [ -e "$XVFB_TMP/status" ] && break
done
echo "Finish ended the viewer (exit status $(xvfb_wait_exit 5))."
