#!/usr/bin/env bash
# Builds the benchmarks (preset `bench`), makes the images and runs our decoder beside the peer,
# whole, reduced (_half, _quarter, _eighth) and region reads (_centre16, _corner16: 1/16 of the
# area), first with the plain routines (SETUVIA_JPEG_USECPU=0), then with the processor's best class.
# Prints the median decode time of each, the throughput ratio ours/peer and the allocations of
# one decode. Usage: tools/bench.sh [shared folder]
set -euo pipefail
cd "$(dirname "$0")/.."
shared=${1:-$(cd .. && pwd)/shared}
cmake --preset bench -DSETUVIA_SHARED_DIR="$shared" > /dev/null
cmake --build build-bench -j2 --target codec_bench
images=build-bench/bench-images
[ -f "$images/photo_4032x3024_422_restart8.jpg" ] || bash tools/make_bench_images.sh "$images" "$shared" > /dev/null

run() {  # run <label> [USECPU value]; without a value the codec picks the class itself
  local json=build-bench/bench-$1.json
  local usecpu=(-u SETUVIA_JPEG_USECPU)
  [ $# -gt 1 ] && usecpu=(SETUVIA_JPEG_USECPU="$2")
  env "${usecpu[@]}" SETUVIA_BENCH_IMAGES="$images" build-bench/bench/codec_bench \
    --benchmark_out="$json" --benchmark_out_format=json > "${json%.json}.log" 2>&1
  python3 - "$1" "$json" <<'PY'
import json, sys
label, path = sys.argv[1], sys.argv[2]
rows = {}
for b in json.load(open(path))["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    who, image = b["run_name"].split("/")[:2]
    rows.setdefault(image, {})[who] = b
print(f"\n{label}: median of 7 repetitions, single thread, 24-bit BGR from memory")
print(f"{'image':40} {'ours ms':>9} {'peer ms':>9} {'ours/peer':>10} {'ours Mpix/s':>12} "
      f"{'allocs':>7} {'alloc KB':>9} {'largest KB':>11} {'peer allocs':>12}")
for image, r in rows.items():
    ours, peer = r.get("ours"), r.get("peer")
    if not ours or not peer:
        print(f"{image:40} missing"); continue
    ratio = peer["cpu_time"] / ours["cpu_time"]
    print(f"{image:40} {ours['cpu_time']:9.2f} {peer['cpu_time']:9.2f} {ratio:9.2f}x "
          f"{ours['Mpix/s']:12.1f} {ours['allocs']:7.0f} {ours['alloc_bytes'] / 1024:9.1f} "
          f"{ours['largest_alloc'] / 1024:11.1f} {peer['allocs']:12.0f}")
PY
}
run plain 0
run best
