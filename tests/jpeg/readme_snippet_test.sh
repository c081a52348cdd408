#!/usr/bin/env bash
# The C program of README.md's "Using the codec" compiles as it stands with the C compiler and
# the link line the README gives, and decodes a picture red at the top and blue at the bottom
# right side up; the section's fragments, one per read mode, compile inside its context. Usage: readme_snippet_test.sh README.md SOURCE_DIR LIBJPEGCODEC.a CC [CFLAGS...]
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

# Every other C fragment of "Using the codec" (one per read mode) compiles inside the
# program's context: its record p and its status.
awk -v dir="$work" '
  /^## / { inside = ($0 == "## Using the codec") }
  !inside { next }
  /^    / { if (!block) { n++; file = dir "/fragment" n ".txt"; block = 1 } print substr($0, 5) > file; next }
  /^[^ ]/ { block = 0 }
' "$readme"
fragments=0
for text in "$work"/fragment*.txt; do
  case $(head -n1 "$text") in "/* decode.c"* | "cc "* | "./"*) continue ;; esac
  fragments=$((fragments + 1))
  {
    printf '#include <stddef.h>\n#include <stdint.h>\n\n#include "jpeg/jpeg_codec.h"\n\n'
    printf 'int32_t fragment(JPEG_PROPERTIES* record, int16_t* y_plane, int16_t* cb_plane,\n'
    printf '                 int16_t* cr_plane) {\n  JPEG_PROPERTIES p = *record;\n'
    printf '  int32_t status = 0;\n  (void)y_plane, (void)cb_plane, (void)cr_plane;\n'
    cat "$text"
    printf '  *record = p;\n  return status;\n}\n'
  } >"${text%.txt}.c"
  "$@" -std=c11 -Wall -Wextra -Werror -c "${text%.txt}.c" -I"$source_dir" -o "${text%.txt}.o" ||
    { echo "FAIL: this README fragment does not compile:" >&2; cat "$text" >&2; exit 1; }
done
((fragments >= 5)) || { echo "FAIL: only $fragments C fragments in Using the codec" >&2; exit 1; }
convert -size 24x16 gradient:red-blue ppm:- | cjpeg -quality 95 >"$work/gradient.jpg"
line=$("$work/decode" "$work/gradient.jpg")
echo "$line"
[[ $line =~ ^24x16,\ top-left\ pixel\ B=([0-9]+)\ G=[0-9]+\ R=([0-9]+)$ ]] ||
  { echo "FAIL: unexpected output" >&2; exit 1; }
((BASH_REMATCH[1] < 60 && BASH_REMATCH[2] > 200)) ||
  { echo "FAIL: the top-left pixel is not red: the rows are upside down" >&2; exit 1; }
