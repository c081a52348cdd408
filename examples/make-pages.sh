#!/usr/bin/env bash
# Re-makes the example pages below examples/: small 24-bit uncompressed bottom-up BMPs and
# baseline JPEGs (colour 4:2:0 and 4:4:4, and grey), each showing its folder and page
# number, in sizes that differ from page to page so that the window follows them. Needs
# ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"

# page FOLDER FILE WIDTH HEIGHT COLOUR [SAMPLING]: one page with its label. A JPEG's chroma
# is sampled 2x2 unless SAMPLING says otherwise (1x1 for none); "gray" makes it one grey
# component.
page() {
  local folder=$1 file=$2 width=$3 height=$4 colour=$5 sampling=${6:-2x2}
  mkdir -p "$folder"
  local out="$folder/$file" options=(-type TrueColor -quality 85 -sampling-factor "$sampling")
  if [ "$sampling" = gray ]; then
    options=(-type Grayscale -quality 85)
  elif [ "${file##*.}" = bmp ]; then
    out="BMP3:$out"
    options=(-type TrueColor -compress None)
  fi
  convert -size "${width}x${height}" "xc:$colour" \
    -fill black -stroke none -pointsize 14 -gravity center \
    -annotate +0-10 "$folder" -annotate +0+12 "page ${file%%.*}" \
    "${options[@]}" "$out"
}

rm -rf PageData PageData_Alpha PageData_Beta
page PageData/0x0409 01.bmp 160 120 '#f0e0c0'
page PageData/0x0409 02.jpg 240 160 '#c0e0f0'
page PageData/0x0409 03.bmp 128 96 '#d0f0d0'
page PageData/0x0409 04.jpg 333 217 '#d8d8d8' gray
page PageData/0x0409 05.jpg 180 130 '#f0d0a0' 1x1
page PageData/0x0407 01.bmp 160 120 '#f0d0d0'
page PageData/0x0407 02.jpg 240 160 '#e0d0f0'
page PageData/0x0411 01.jpg 240 160 '#f0f0c0'
page PageData/0x0411 02.bmp 128 96 '#c0f0f0'
page PageData/0x040C 01.jpg 200 140 '#e0e0e0'
page PageData/0x0C0A 01.jpg 200 140 '#f0c0e0'
page PageData_Alpha/0x0409 01.jpg 220 150 '#d0e0ff'
page PageData_Alpha/0x0409 02.bmp 128 96 '#ffe0d0'
page PageData_Alpha/0x040C 01.jpg 220 150 '#e0ffd0'
page PageData_Beta/0x0409 01.jpg 260 170 '#ffd0ff'
page PageData_Beta/0x0411 01.jpg 260 170 '#d0ffff'
page PageData_Beta/0x0804 01.jpg 260 170 '#ffffd0'
