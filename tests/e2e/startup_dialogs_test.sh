#!/usr/bin/env bash
# The model and the language dialog in real windows, driven by the keyboard: the choice
# decides the folder the viewer lists (seen in the trace), and closing either dialog with
# Esc ends the program without opening the viewer.
# Usage: startup_dialogs_test.sh SETUVIA_PROGRAM EXAMPLES_FOLDER
set -uo pipefail
program=$1
examples=$2
source "$(dirname "$0")/xvfb_harness.sh"
xvfb_start
root="$XVFB_TMP/root"
mkdir -p "$root"
cp -r "$examples"/PageData* "$root"/
sed -e 's/^Display=0/Display=1/' "$examples/Setuvia.ini" >"$root/Setuvia.ini"
# A BMP page named after its folder, listed first, shows which folder the viewer opened.
cp "$examples/PageData/0x0409/01.bmp" "$root/PageData_Beta/0x0411/00-beta-japanese.bmp"
cp "$examples/PageData/0x0409/01.bmp" "$root/PageData_Alpha/0x0409/00-alpha-english.bmp"
log="$XVFB_TMP/trace.log"

# wait_line TEXT: waits up to 20 s for a trace line that starts with TEXT.
wait_line() {
  local deadline=$((SECONDS + 20))
  until grep -qF -- "$1" "$log"; do
    [ $SECONDS -lt $deadline ] || { cat "$log" >&2; xvfb_fail "no trace line '$1'"; }
    sleep 0.2
  done
}

# window_titled TITLE: the id of the visible window with exactly this title. Compared by
# name here, since xdotool's --name pattern does not match non-ASCII titles.
window_titled() {
  local id deadline=$((SECONDS + 10))
  while [ $SECONDS -lt $deadline ]; do
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}

# choose TITLE KEY...: waits for the dialog and presses the keys in it.
choose() {
  local title=$1 win
  shift
  win=$(window_titled "$title") || { cat "$log" >&2; xvfb_fail "no window titled '$title'"; }
  xvfb_wait_drawn "$win"
  xvfb_point_at "$win"
  xvfb_keys "$@"
}

# run KEYS_MODEL KEYS_LANGUAGE EXPECTED_TRACE_LINE [LANGUAGE_CAPTION [OPTION]]
run() {
  xvfb_launch "$log" env -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 SETUVIA_TRACE=1 "$program" "-root_dir=$root/" ${5:-}
  # shellcheck disable=SC2086
  choose "Select Model" $1
  # shellcheck disable=SC2086
  choose "${4:-Select Language}" $2
  wait_line "$3"
  xvfb_stop_program
}

# Beta is the second model; its languages are English, Japanese, Simplified Chinese.
run "Down Return" "Down Return" "File $root/PageData_Beta/0x0411/00-beta-japanese.bmp: width = 160, height = 120."
# cancel KEYS_MODEL [KEYS_LANGUAGE]: Esc in a dialog ends the program, and no viewer opens.
cancel() {
  local status
  xvfb_launch "$log" env -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 SETUVIA_TRACE=1 "$program" "-root_dir=$root/"
  choose "Select Model" "$1"
  [ -n "${2:-}" ] && choose "Select Language" "$2"
  status=$(xvfb_wait_exit 10)
  [ "$status" = 0 ] || xvfb_fail "cancelling ($*) ended with status $status"
  ! grep -q "^Find file" "$log" || xvfb_fail "the viewer opened after cancelling ($*)"
}
cancel Escape
cancel Return Escape
# The dialogs' texts follow lang_id: a Japanese language dialog (the model dialog's caption
# is the same in Japanese), the Japanese language preselected.
run "Down Return" "Return" "File $root/PageData_Beta/0x0411/00-beta-japanese.bmp: width = 160, height = 120." \
  "言語設定" -lang_id=0x0411
# Korean has no selection dialogs: English texts; Korean is never offered, English is preselected.
run "Return" "Return" "File $root/PageData_Alpha/0x0409/00-alpha-english.bmp: width = 160, height = 120." \
  "Select Language" -lang_id=0x0412
echo "PASS"
