#!/usr/bin/env bash
# Start-up of the real program, seen through its trace: the command line, the options, the
# language and the page folder, with options and from the program's folder and the locale.
# The program runs under its own virtual X server, since it goes on to open its window;
# each run is ended once the expected lines have appeared.
# Usage: startup_trace_test.sh SETUVIA_PROGRAM EXAMPLES_FOLDER
set -uo pipefail
program=$1
examples=$2
source "$(dirname "$0")/xvfb_harness.sh"
xvfb_start
out=$(mktemp -d)
trap 'xvfb_stop; rm -rf "$out"' EXIT
program_folder=$(cd "$(dirname "$program")" && pwd)/

# expect_lines LOG LINE...: waits up to 20 s until every line is in the log, in this order.
expect_lines() {
  local log=$1 deadline=$((SECONDS + 20))
  shift
  until python3 - "$log" "$@" <<'PY'
import sys
lines = open(sys.argv[1], errors="replace").read().splitlines()
at = 0
for wanted in sys.argv[2:]:
    try:
        at = lines.index(wanted, at) + 1
    except ValueError:
        sys.exit(1)
PY
  do
    [ $SECONDS -lt $deadline ] || { cat "$log" >&2; xvfb_fail "missing trace lines in $log: $*"; }
    sleep 0.2
  done
}

run() {
  local log=$1
  shift
  xvfb_launch "$log" env -u LC_ALL -u LC_MESSAGES SETUVIA_TRACE=1 "$@"
}

run "$out/options.log" "$program" "-root_dir=$examples/" -lang_id=0x0407
expect_lines "$out/options.log" \
  "Command line = -root_dir=$examples/ -lang_id=0x0407." \
  "ParseOptionValue: root_dir = $examples/." \
  "ParseOptionValue: lang_id = 0x0407." \
  "LangID = 0x0407." \
  "MakePageDirString: PageRoot = $examples/PageData/0x0407/."
xvfb_stop_program

run "$out/japanese.log" env LANG=ja_JP.UTF-8 "$program"
expect_lines "$out/japanese.log" "Command line = ." "MakePageDirString: PageRoot = ${program_folder}PageData/0x0411/."
grep -q '^LangID' "$out/japanese.log" && xvfb_fail "detection must not trace a LangID line"
xvfb_stop_program

run "$out/canadian.log" env LANG=fr_CA.UTF-8 "$program"
expect_lines "$out/canadian.log" "MakePageDirString: PageRoot = ${program_folder}PageData/0x0409/."
xvfb_stop_program

run "$out/silent.log" env -u SETUVIA_TRACE "$program" "-root_dir=$examples/"
xvfb_wait_window "Installation|Instruction|Example" >/dev/null  # start-up is over
xvfb_stop_program
[ -s "$out/silent.log" ] && { cat "$out/silent.log" >&2; xvfb_fail "the program printed without SETUVIA_TRACE=1"; }
echo "PASS"
