#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the codec's C example against it
# twice, as a programmer outside this tree would: through pkg-config (shared library) and
# through find_package(SetuviaJpeg) (static library); both must decode a JPEG.
# Usage: install_test.sh <build dir> <source dir> <jpeg file> [C flags]
set -euo pipefail
build=$1 source=$2 jpeg=$3 cflags=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name setuvia-jpeg.pc -path '*pkgconfig*')")/..
example=$source/examples/codec/jpeg_to_ppm.c

# pkg-config, shared library
export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046,SC2086
cc $cflags "$example" $(pkg-config --cflags --libs setuvia-jpeg) -o "$work/shared_ppm" $cflags
LD_LIBRARY_PATH=$libdir "$work/shared_ppm" "$jpeg" "$work/shared.ppm"

# CMake package, static library, a project that knows only C
mkdir -p "$work/consumer"
cp "$example" "$work/consumer/"
cat > "$work/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(SetuviaJpeg 1 REQUIRED)
add_executable(jpeg_to_ppm jpeg_to_ppm.c)
target_link_libraries(jpeg_to_ppm PRIVATE SetuviaJpeg::jpegcodec)
CMAKE
cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_EXE_LINKER_FLAGS="$cflags" >/dev/null
cmake --build "$work/consumer/build" >/dev/null
"$work/consumer/build/jpeg_to_ppm" "$jpeg" "$work/static.ppm"

cmp "$work/shared.ppm" "$work/static.ppm"
head -c 2 "$work/static.ppm" | grep -q P6
for program in setuvia setuvia-check setuvia-jpeg; do
  [ -x "$prefix/bin/$program" ] || { echo "not installed: bin/$program" >&2; exit 1; }
done
echo "installed and used through pkg-config and find_package"
