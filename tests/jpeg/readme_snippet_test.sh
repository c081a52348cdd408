#!/usr/bin/env bash
# The C program of README.md's "Using the codec" compiles as it stands with the C compiler and
# the link line the README gives, and decodes a picture red at the top and blue at the bottom
# right side up. Usage: readme_snippet_test.sh README.md SOURCE_DIR LIBJPEGCODEC.a CC [CFLAGS...]
set -euo pipefail
readme=$1 source_dir=$2 library=$3
shift 3
for tool in convert cjpeg; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The indented block that begins with the program's "/* decode.c" line.
awk '/^    \/\* decode\.c/ { inside = 1 } inside && /^[^ ]/ { exit } inside { print }' "$readme" |
  sed 's/^    //' >"$work/decode.c"
[ -s "$work/decode.c" ] || { echo "FAIL: no decode.c program in $readme" >&2; exit 1; }

"$@" -std=c11 -Wall -Wextra -Werror "$work/decode.c" -I"$source_dir" "$library" -lstdc++ -lm \
  -o "$work/decode"
convert -size 24x16 gradient:red-blue ppm:- | cjpeg -quality 95 >"$work/gradient.jpg"
line=$("$work/decode" "$work/gradient.jpg")
echo "$line"
[[ $line =~ ^24x16,\ top-left\ pixel\ B=([0-9]+)\ G=[0-9]+\ R=([0-9]+)$ ]] ||
  { echo "FAIL: unexpected output" >&2; exit 1; }
((BASH_REMATCH[1] < 60 && BASH_REMATCH[2] > 200)) ||
  { echo "FAIL: the top-left pixel is not red: the rows are upside down" >&2; exit 1; }
