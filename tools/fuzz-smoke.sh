#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang 14) and runs each one from its seed
# corpus for a fixed number of inputs with a fixed seed, about two minutes in all: one build
# always meets the same inputs, so a failure here is the tree's, repeatable, never luck.
# Exploring further is a longer run by hand with another seed, e.g.
#   SETUVIA_FUZZ_SEED=7 SETUVIA_FUZZ_RUNS_SCALE=20 bash tools/fuzz-smoke.sh
# A crash or an input slower than 30 s fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed=${SETUVIA_FUZZ_SEED:-1}
scale=${SETUVIA_FUZZ_RUNS_SCALE:-1}
run() {  # target, inputs, seed folders
  local target=$1 runs=$(($2 * scale))
  shift 2
  mkdir -p "$work/$target"
  "build-fuzz/fuzz/$target" -seed="$seed" -runs="$runs" -max_len=4096 -timeout=30 \
    -rss_limit_mb=1024 -dict=fuzz/jpeg.dict "$work/$target" "$@"
}
# The shared hostile files (when present) seed the image target too.
hostile=()
[ -d ../shared/hostile ] && hostile=(../shared/hostile)
run jpeg_header_fuzzer 400000 fuzz/corpus/header
run jpeg_image_fuzzer 60000 fuzz/corpus/image "${hostile[@]}"
# Regions, interrupted reads, coefficients, scales and smooth reads chosen by the input.
run jpeg_read_mode_fuzzer 20000 fuzz/corpus/image
# The plain and the best processor class must decode the same bytes.
run jpeg_class_diff_fuzzer 20000 fuzz/corpus/image
