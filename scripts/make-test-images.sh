#!/usr/bin/env bash
# Makes the image decoders' test pictures with ImageMagick, so the decoders
# are checked against files no code of ours wrote. Next to each goes the raw
# pixels convert reads from it, top row first (gray, graya, rgb or rgba), so
# the tests need no ImageMagick. Run by hand; tests/data/images/ is committed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=tests/data/images
mkdir -p "$out"

# Small pictures where every pixel differs from its neighbours in each
# channel, so a swapped channel, row or column shows up.
colour() { # width height
  convert -size "$1x$2" xc:black \
    -channel R -fx "i/w" -channel G -fx "j/h" -channel B -fx "(i+2*j)/(w+2*h)" +channel "$3"
}
colourAlpha() { # width height file
  convert -size "$1x$2" xc:black \
    -channel R -fx "i/w" -channel G -fx "j/h" -channel B -fx "(i+2*j)/(w+2*h)" +channel \
    -alpha set -channel A -fx "0.2+0.7*(w-i)/w" +channel "$3"
}
grey() { # width height file: 21 or more distinct levels, one per pixel
  convert -size "$1x$2" xc: -fx "(i+j*w)*7/255" "$3"
}
greyAlpha() {
  convert -size "$1x$2" xc: -fx "(i+j*w)*7/255" \
    -alpha set -channel A -fx "0.3+0.6*j/h" +channel "$3"
}
# convert keeps a Targa file's rows in stored order and only notes where the
# origin lies; -auto-orient gives the picture as the file describes it.
raw() { # picture format: the pixels convert decodes, 8 bits a sample
  convert "$1" -auto-orient -depth 8 "$2:$1.$2"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
colour 5 3 "$tmp/rgb53.png"
colourAlpha 5 3 "$tmp/rgba53.png"
colour 7 2 "$tmp/rgb72.png"
colourAlpha 7 2 "$tmp/rgba72.png"
grey 7 3 "$tmp/grey73.png"
greyAlpha 5 3 "$tmp/greya53.png"

# PNG: the four supported colour types, and the variants the loader refuses.
png8=(-depth 8 -define png:exclude-chunks=date,time)
convert "$tmp/grey73.png" "${png8[@]}" -define png:color-type=0 "$out/grey.png"
convert "$tmp/greya53.png" "${png8[@]}" -define png:color-type=4 "$out/greyalpha.png"
convert "$tmp/rgb53.png" "${png8[@]}" -define png:color-type=2 "$out/rgb.png"
convert "$tmp/rgba72.png" "${png8[@]}" -define png:color-type=6 "$out/rgba.png"
convert "$tmp/rgb53.png" "${png8[@]}" -define png:color-type=3 "$out/palette.png"
convert "$tmp/rgb53.png" "${png8[@]}" -define png:color-type=2 -interlace PNG "$out/interlaced.png"
convert "$tmp/rgb53.png" -depth 16 -define png:exclude-chunks=date,time \
  -define png:color-type=2 "$out/rgb16.png"
raw "$out/grey.png" gray
raw "$out/greyalpha.png" graya
raw "$out/rgb.png" rgb
raw "$out/rgba.png" rgba
raw "$out/interlaced.png" rgb

# BMP: odd widths, so rows carry padding. convert writes 124-byte headers
# and, for 32 bits, bit-field masks; bmp3 gives the 40-byte header.
convert "$tmp/rgb53.png" -type TrueColor "$out/rgb53.bmp"
convert "$tmp/rgb72.png" -type TrueColor -define bmp:format=bmp3 "$out/rgb72.bmp"
convert "$tmp/rgba53.png" -type TrueColorAlpha "$out/rgba53.bmp"
convert "$tmp/rgba72.png" -type TrueColorAlpha -define bmp:format=bmp3 \
  -define bmp3:alpha=true "$out/rgba72.bmp"
# 8 bits: a palette picture. convert orders the palette as it likes, so the
# tests map each rgb pixel back to its index through the file's palette.
convert "$tmp/grey73.png" -type Palette -compress none "$out/palette73.bmp"
convert "$tmp/grey73.png" -type Palette -compress RLE "$out/rle73.bmp"
raw "$out/rgb53.bmp" rgb
raw "$out/rgb72.bmp" rgb
raw "$out/rgba53.bmp" rgba
raw "$out/rgba72.bmp" rgba
raw "$out/palette73.bmp" rgb

# TGA: truecolour with and without alpha, grey, colour-mapped (indices are
# checked through the colour map, as for BMP) and run-length (refused).
convert "$tmp/rgb53.png" -type TrueColor -compress none "$out/rgb.tga"
convert "$tmp/rgba72.png" -type TrueColorAlpha -compress none "$out/rgba.tga"
convert "$tmp/grey73.png" -type Grayscale -compress none "$out/grey.tga"
convert "$tmp/rgb53.png" -type Palette -compress none "$out/palette.tga"
convert "$tmp/rgb53.png" -type TrueColor -compress RLE "$out/rle.tga"
raw "$out/rgb.tga" rgb
raw "$out/rgba.tga" rgba
raw "$out/grey.tga" gray
raw "$out/palette.tga" rgb

# JPEG: grey and colour; lossy, so the tests allow a small difference from
# what convert's own decoding gives. CMYK is refused.
convert -size 16x8 gradient:white-black -type Grayscale -quality 95 "$out/grey.jpg"
convert -size 16x8 xc:black -channel R -fx "i/w" -channel G -fx "j/h" \
  -channel B -fx "0.5" +channel -quality 95 -sampling-factor 1x1 "$out/rgb.jpg"
convert -size 16x8 gradient:red-blue -quality 90 -sampling-factor 2x2 "$out/rgb420.jpg"
convert -size 8x8 gradient:red-blue -colorspace CMYK "$out/cmyk.jpg"
raw "$out/grey.jpg" gray
raw "$out/rgb.jpg" rgb
raw "$out/rgb420.jpg" rgb
