#!/usr/bin/env bash
# Makes the benchmark images from the shared 12 MP phone photo (baseline 4:2:0):
#   page_1920x1080_420_q85.jpg   the photo at half size, cut to 1920x1080, q85 4:2:0
#   photo_4032x3024_420.jpg      the photo itself
#   photo_4032x3024_444_q95.jpg  re-encoded q95 4:4:4
#   photo_4032x3024_422_restart.jpg  re-encoded q90 4:2:2, a restart marker every MCU row
#   photo_4032x3024_422_restart8.jpg re-encoded q90 4:2:2, a restart marker every 8 MCUs
#   photo_4032x3024_gray_q95.jpg re-encoded q95 grayscale
#   photo_4032x3024_420_progressive.jpg  the photo transcoded to progressive (the usual script)
#   photo_6000x4000_progressive.jpg      the shared 24 MP progressive 4:2:0 photo itself
# Usage: tools/make_bench_images.sh <output folder> [shared folder]
set -euo pipefail
out=${1:?usage: make_bench_images.sh <output folder> [shared folder]}
shared=${2:-$(cd "$(dirname "$0")/../.." && pwd)/shared}
photo=$shared/photos/bus_4032x3024_iphone11.jpg
[ -f "$photo" ] || { echo "missing $photo" >&2; exit 1; }
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

djpeg -ppm "$photo" > "$tmp/full.ppm"
djpeg -ppm -scale 1/2 "$photo" > "$tmp/half.ppm"
# Cut the 2016x1512 half-size picture to its centre 1920x1080 (binary PPM, 3 bytes a pixel).
python3 - "$tmp/half.ppm" "$tmp/page.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace(): pos += 1
    start = pos
    while not data[pos:pos + 1].isspace(): pos += 1
    fields.append(data[start:pos])
pos += 1
width, height = int(fields[1]), int(fields[2])
w, h = 1920, 1080
x0, y0 = (width - w) // 2, (height - h) // 2
rows = [data[pos + ((y0 + y) * width + x0) * 3: pos + ((y0 + y) * width + x0 + w) * 3] for y in range(h)]
open(sys.argv[2], 'wb').write(b'P6\n%d %d\n255\n' % (w, h) + b''.join(rows))
PY

cjpeg -quality 85 -sample 2x2,1x1,1x1 "$tmp/page.ppm" > "$out/page_1920x1080_420_q85.jpg"
install -m 0644 "$photo" "$out/photo_4032x3024_420.jpg"
cjpeg -quality 95 -sample 1x1,1x1,1x1 "$tmp/full.ppm" > "$out/photo_4032x3024_444_q95.jpg"
cjpeg -quality 90 -sample 2x1,1x1,1x1 -restart 1 "$tmp/full.ppm" > "$out/photo_4032x3024_422_restart.jpg"
cjpeg -quality 90 -sample 2x1,1x1,1x1 -restart 8B "$tmp/full.ppm" > "$out/photo_4032x3024_422_restart8.jpg"
cjpeg -quality 95 -grayscale "$tmp/full.ppm" > "$out/photo_4032x3024_gray_q95.jpg"
jpegtran -progressive "$photo" > "$out/photo_4032x3024_420_progressive.jpg"
install -m 0644 "$shared/photos/clownfish_6000x4000_unsplash.jpg" "$out/photo_6000x4000_progressive.jpg"
ls -l "$out"
