#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang 14) and runs each one briefly
# from its seed corpus, about two minutes in all. A crash fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {  # target, seed folder, seconds
  mkdir -p "$work/$1"
  "build-fuzz/fuzz/$1" -max_total_time="$3" -max_len=4096 -timeout=10 -rss_limit_mb=1024 \
    -dict=fuzz/jpeg.dict "$work/$1" "fuzz/corpus/$2"
}
run jpeg_header_fuzzer header 40
run jpeg_image_fuzzer image 60
