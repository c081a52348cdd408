# Shell helpers for end-to-end tests of a real program under a virtual X server.
# Source this file from a bash test script, then:
#
#   source "$(dirname "$0")/xvfb_harness.sh"
#   xvfb_start                         # free display, 1024x768, 24-bit; sets DISPLAY; stops on exit
#   xvfb_launch out.txt ./setuvia -root_dir=/tmp/r/    # start a program (stdout+stderr to out.txt)
#   win=$(xvfb_wait_window "Installation")             # window id by title (regex), once drawn
#   xvfb_poll 10 COMMAND [ARGS...]     # runs COMMAND every 0.1 s until it succeeds; 1 on timeout
#   xvfb_wait_drawn "$win"             # waits until the window shows more than one colour
#   xvfb_point_at "$win"               # keys reach a window of a bare X server only under the pointer
#   xvfb_keys Tab Return               # xdotool key names, one after the other
#   xvfb_click "$win" 620 500          # left click at client coordinates of the window
#   xvfb_screenshot "$win" shot.png    # the window's client area as PNG
#   xvfb_pixel shot.png 10 20          # prints "r g b" (0-255) of one pixel
#   xvfb_dark_pixels shot.png X Y W H  # counts near-black pixels of an area (text on grey)
#   xvfb_light_pixels shot.png X Y W H # counts near-white pixels (text on a highlight)
#   xvfb_geometry "$win"               # prints "x y width height" of the client area on screen
#   xvfb_page_root "Product"           # root folder with Setuvia.ini; sets XVFB_ROOT, XVFB_PAGES
#   xvfb_expect_page "$win" NAME 320 240 expected.png  # waits until the window fits the page and
#                                      # its picture is exact, or fails
#   xvfb_wait_exit 10                  # waits for the launched program; prints its exit status
#   xvfb_stop_program                  # ends the launched program (before launching the next)
#   xvfb_fail "message"                # prints to stderr and exits 1
#
# Everything started here (the server and the launched programs) is stopped when the
# script exits. Helpers wait for the state they need by polling, never for a fixed time; their
# limits are generous, since a loaded two-core machine can take seconds to show a window. Sanitizer builds: leaks inside the X font libraries are suppressed
# (xvfb_lsan.supp). Needs Xvfb, xdotool, xwd (x11-apps) and ImageMagick's convert; a test
# without them should exit 77 (ctest's skip code) via xvfb_require_tools.

XVFB_PID=""
XVFB_PROGRAM_PID=""
XVFB_TMP=""
XVFB_HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Programs built with AddressSanitizer: the X font libraries keep caches for the life of the
# process, which the leak checker would report.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$XVFB_HARNESS_DIR/xvfb_lsan.supp"

xvfb_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

xvfb_require_tools() {
  local tool
  for tool in Xvfb xdotool xwd convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed" >&2; exit 77; }
  done
}

xvfb_stop_program() {
  if [ -n "$XVFB_PROGRAM_PID" ] && kill -0 "$XVFB_PROGRAM_PID" 2>/dev/null; then
    kill "$XVFB_PROGRAM_PID" 2>/dev/null
    wait "$XVFB_PROGRAM_PID" 2>/dev/null
  fi
  XVFB_PROGRAM_PID=""
}

xvfb_stop() {
  xvfb_stop_program
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  [ -n "$XVFB_TMP" ] && rm -rf "$XVFB_TMP"
  XVFB_PID=""
}

# xvfb_start [WIDTHxHEIGHT]: a server on the first free display number from 90 on.
xvfb_start() {
  local size=${1:-1024x768} n
  xvfb_require_tools
  XVFB_TMP=$(mktemp -d)
  trap xvfb_stop EXIT
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >"$XVFB_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    if timeout 10 bash -c 'until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.1; done'; then
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  xvfb_fail "could not start Xvfb"
}

# xvfb_launch OUTPUT_FILE PROGRAM [ARGS...]: starts the program in the background. A small
# wrapper keeps its exit status in a file, so xvfb_wait_exit works from $(...) too (a
# subshell cannot wait for its parent's children); ending the wrapper ends the program.
xvfb_launch() {
  local out=$1
  shift
  rm -f "$XVFB_TMP/status"
  (
    trap 'kill "$child" 2>/dev/null' TERM
    "$@" >"$out" 2>&1 &
    child=$!
    wait "$child"
    status=$?
    wait "$child" 2>/dev/null  # after a TERM the first wait returns early
    echo "$status" >"$XVFB_TMP/status.tmp" && mv "$XVFB_TMP/status.tmp" "$XVFB_TMP/status"
  ) &
  XVFB_PROGRAM_PID=$!
}

# xvfb_poll SECONDS COMMAND [ARGS...]: runs the command every 0.1 s until it succeeds;
# returns 1 when it has not within SECONDS.
xvfb_poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Succeeds when the window's client area holds more than one colour: the program has drawn it.
xvfb_drawn() {
  local colours
  xwd -id "$1" -silent >"$XVFB_TMP/drawn.xwd" 2>/dev/null || return 1
  colours=$(convert "$XVFB_TMP/drawn.xwd" -format %k info: 2>/dev/null) || return 1
  [ "${colours:-0}" -gt 1 ]
}

xvfb_wait_drawn() {
  xvfb_poll 30 xvfb_drawn "$1" || xvfb_fail "window $1 was not drawn"
}

# xvfb_wait_window TITLE_REGEX [SECONDS]: prints the id of the first matching window once it
# has been drawn.
xvfb_wait_window() {
  local win
  win=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$win" ] || xvfb_fail "no window named '$1' appeared"
  xvfb_wait_drawn "$win"
  echo "$win"
}

# Moves the pointer into the window and succeeds when X reports it there (a window that is
# still being placed may have moved away from under it).
xvfb_pointer_into() {
  local X Y SCREEN WINDOW
  xdotool mousemove --window "$1" 1 1 2>/dev/null || return 1
  eval "$(xdotool getmouselocation --shell 2>/dev/null)"
  [ "${WINDOW:-}" = "$1" ]
}

xvfb_point_at() {
  xvfb_poll 30 xvfb_pointer_into "$1" || xvfb_fail "the pointer did not reach window $1"
}

xvfb_keys() {
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.15
  done
}

# xvfb_click WINDOW X Y: a left click at client coordinates.
xvfb_click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.2
}

xvfb_geometry() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# xvfb_screenshot WINDOW FILE.png (WINDOW "root" for the whole screen). ImageMagick refuses
# /dev/fd inputs, so the dump goes through a file.
xvfb_screenshot() {
  local dump="$XVFB_TMP/shot.xwd"
  if [ "$1" = root ]; then xwd -root -silent >"$dump"; else xwd -id "$1" -silent >"$dump"; fi ||
    xvfb_fail "xwd could not dump window $1"
  convert "$dump" "$2" || xvfb_fail "convert could not read the dump of window $1"
}

# xvfb_pixel FILE.png X Y: prints "r g b".
xvfb_pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | awk -F'[(),]' 'NR == 2 { print $3, $4, $5 }'
}

# xvfb_dark_pixels FILE.png X Y WIDTH HEIGHT [LIMIT]: prints how many pixels of the area
# have every channel below LIMIT (default 100), e.g. text drawn in black on grey.
xvfb_dark_pixels() {
  local limit=${6:-100}
  convert "$1" -crop "${4}x${5}+$2+$3" +repage -depth 8 txt:- |
    awk -v limit="$limit" -F'[(),]' 'NR > 1 && $3 < limit && $4 < limit && $5 < limit { n++ } END { print n + 0 }'
}

# xvfb_light_pixels FILE.png X Y WIDTH HEIGHT [LIMIT]: how many pixels of the area have
# every channel above LIMIT (default 200), e.g. white text on a selection highlight.
xvfb_light_pixels() {
  local limit=${6:-200}
  convert "$1" -crop "${4}x${5}+$2+$3" +repage -depth 8 txt:- |
    awk -v limit="$limit" -F'[(),]' 'NR > 1 && $3 > limit && $4 > limit && $5 > limit { n++ } END { print n + 0 }'
}

# xvfb_page_root PRODUCT: a root folder whose Setuvia.ini names the product, with an empty
# English page folder. Sets XVFB_ROOT (ending in "/") and XVFB_PAGES.
xvfb_page_root() {
  XVFB_ROOT="$XVFB_TMP/root/"
  XVFB_PAGES="${XVFB_ROOT}PageData/0x0409"
  mkdir -p "$XVFB_PAGES"
  printf '[Product Name]\nName=%s\n' "$1" >"${XVFB_ROOT}Setuvia.ini"
}

# xvfb_expect_page WINDOW NAME WIDTH HEIGHT EXPECTED_IMAGE: the viewer's window has the page's
# size (its height plus 80 for the buttons; a page narrower than the buttons need sits centred
# in a wider window) and its picture equals the expected image with no differing pixel.
# XVFB_SHOTS_DIR=<folder> keeps the screenshot as viewer-page-NAME.png.
xvfb_expect_page() {
  local win=$1 name=$2 width=$3 height=$4 expected=$5
  xvfb_poll 30 xvfb_page_shown "$@" || xvfb_fail "page $name: $XVFB_PAGE_STATE"
  [ -n "${XVFB_SHOTS_DIR:-}" ] && cp "$XVFB_TMP/page-shot.png" "$XVFB_SHOTS_DIR/viewer-page-$name.png"
  echo "page $name: ${width}x$height shown exactly"
}

# xvfb_page_shown: one look for xvfb_expect_page; what differs is left in XVFB_PAGE_STATE.
xvfb_page_shown() {
  local win=$1 width=$3 height=$4 expected=$5 x y w h diff
  read -r x y w h <<<"$(xvfb_geometry "$win")"
  if [ "$w" -lt "$width" ] || [ "$h" != $((height + 80)) ]; then
    XVFB_PAGE_STATE="window is ${w}x$h, expected ${width}x$((height + 80))"
    return 1
  fi
  xvfb_screenshot "$win" "$XVFB_TMP/page-shot.png"
  convert "$XVFB_TMP/page-shot.png" -crop "${width}x${height}+$(((w - width) / 2))+0" +repage \
    "$XVFB_TMP/picture.png"
  diff=$(compare -metric AE "$XVFB_TMP/picture.png" "$expected" null: 2>&1)
  XVFB_PAGE_STATE="$diff pixels of the picture differ from $expected"
  [ "$diff" = 0 ]
}

# xvfb_wait_exit [SECONDS]: prints the exit status of the launched program (124 on timeout).
xvfb_wait_exit() {
  local seconds=${1:-10} i
  for i in $(seq $((seconds * 10))); do
    if [ -e "$XVFB_TMP/status" ]; then
      cat "$XVFB_TMP/status"
      return 0
    fi
    sleep 0.1
  done
  echo 124
}
