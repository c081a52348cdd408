#!/usr/bin/env bash
# Builds the viewer and starts it on the example pages in examples/. Without a reachable X
# display it runs the viewer on a virtual one instead, pages through the example with the
# keyboard and prints where the screenshots of its pages are.
# Extra arguments go to the program, e.g. tools/run-example.sh -lang_id=0x0411
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-packages.sh
cmake --preset release
cmake --build --preset release --target setuvia  # the tests are not needed to show pages
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  exec build/setuvia -root_dir="$PWD/examples/" "$@"
fi
exec bash tests/e2e/viewer_example_tour.sh build/setuvia "$PWD/examples/" "$PWD/build/example-screenshots" "$@"
