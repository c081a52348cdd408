#!/usr/bin/env bash
# Builds and runs every test. Usage: tools/test-all.sh [release|debug|asan-ubsan|tsan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
bash tools/install-packages.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" --timeout 300 -j2
