#!/usr/bin/env bash
# Builds the viewer and starts it on the example pages in examples/.
# Extra arguments go to the program, e.g. tools/run-example.sh -lang_id=0x0411
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-packages.sh
cmake --preset release
cmake --build --preset release
exec build/setuvia -root_dir="$PWD/examples/" "$@"
