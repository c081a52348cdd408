#!/usr/bin/env bash
# Re-makes the progressive test streams of this folder from one synthetic picture: a baseline
# 4:2:0 stream and the same coefficients transcoded (losslessly) into progressive streams, so
# that each must decode to exactly the baseline's pixels. Needs cjpeg and jpegtran
# (libjpeg-turbo-progs, test-only).
set -euo pipefail
cd "$(dirname "$0")"
w=53 h=37
ppm=$(mktemp)
trap 'rm -f "$ppm"' EXIT
python3 - "$w" "$h" > "$ppm" <<'PY'
import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
sys.stdout.buffer.write(b"P6 %d %d 255\n" % (w, h))
px = bytearray()
for y in range(h):
    for x in range(w):
        edge = 200 if (x // 9 + y // 7) % 2 else 40
        px += bytes(((x * 255) // w, (y * 255) // h, edge))
sys.stdout.buffer.write(px)
PY
cjpeg -quality 90 -sample 2x2 -optimize -outfile baseline.jpg "$ppm"
# The usual script: DC first at Al = 1, AC bands first at Al = 2 or 1, then refinements.
jpegtran -progressive -outfile successive.jpg baseline.jpg
# No successive approximation: every band at full precision in one scan.
jpegtran -scans spectral.scans -outfile spectral.jpg baseline.jpg
# A restart every 2 MCUs (DC scans) or 2 blocks (AC scans).
jpegtran -progressive -restart 2B -outfile restarts.jpg baseline.jpg
# A second picture of another size and kind, for records that decode several images.
cjpeg -grayscale -quality 80 -outfile gray-baseline.jpg "$ppm"
jpegtran -crop 29x21+8+8 -progressive -outfile gray.jpg gray-baseline.jpg
rm gray-baseline.jpg
