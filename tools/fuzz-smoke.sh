#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang 14) and runs each one briefly
# from its seed corpus, about two minutes in all. A crash fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {  # target, seconds, seed folders
  local target=$1 seconds=$2
  shift 2
  mkdir -p "$work/$target"
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=30 \
    -rss_limit_mb=1024 -dict=fuzz/jpeg.dict "$work/$target" "$@"
}
# The shared hostile files (when present) seed the image target too.
hostile=()
[ -d ../shared/hostile ] && hostile=(../shared/hostile)
run jpeg_header_fuzzer 40 fuzz/corpus/header
run jpeg_image_fuzzer 60 fuzz/corpus/image "${hostile[@]}"
