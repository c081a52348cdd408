#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from .clang-format (clang-format 14).
# Usage: tools/lint.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || true)
if [ -z "$formatter" ]; then
  echo "lint: clang-format-14 is missing (apt-get install clang-format-14)" >&2
  exit 1
fi
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$formatter" -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  "$formatter" --dry-run -Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "lint: not formatted (run tools/lint.sh --fix):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "lint: ${#files[@]} files formatted"
