#!/usr/bin/env bash
# The files built with instruction-set flags (jpeg/simd/) define no weak code: the linker keeps
# one copy of each weak function for the whole program, and a copy built with AVX2 or BMI2
# standing in for the plain code's own would fault on processors without them.
# Usage: isa_objects_test.sh OBJECT...
set -euo pipefail
status=0
for object in "$@"; do
  [[ $object == */simd/* ]] || continue
  weak=$(nm --defined-only -C "$object" | awk '$2 == "W" || $2 == "w"')
  if [ -n "$weak" ]; then
    echo "$object defines weak code:"
    echo "$weak"
    status=1
  fi
done
exit $status
