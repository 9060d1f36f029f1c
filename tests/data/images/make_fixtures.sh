#!/bin/sh
# Writes the image fixtures of the image-file tests with ImageMagick from the
# picture that Debian's libsdl2-image-tests ships. Run once from this folder;
# the outputs are committed so the tests do not need ImageMagick.
set -e
S=/usr/libexec/installed-tests/SDL2_image
cp "$S/sample.pnm" sample.ppm
cp "$S/sample.pcx" "$S/sample.tga" "$S/sample.bmp" "$S/palette.gif" .
convert palette.gif -depth 8 ppm:palette_gif.ppm
# Reference picture of odd width and its files from ImageMagick.
convert "$S/sample.png" -crop 7x5+3+9 +repage -depth 8 ppm:odd.ppm
convert odd.ppm bmp3:im_odd24.bmp
convert odd.ppm pcx:im_odd24.pcx
# This ImageMagick writes a TGA's rows top first whatever it says in the
# header; asked for a top-left origin it sets the header to match.
convert odd.ppm -orient TopLeft -compress RLE tga:im_odd24_rle.tga
convert odd.ppm -orient TopLeft -compress None tga:im_odd24.tga
# 8-bit files: the same few colours each time, so their pixels can be
# compared through their palettes with the PPM of the quantised picture.
convert "$S/sample.png" -dither None -colors 40 -depth 8 ppm:q40.ppm
convert q40.ppm -type Palette -compress RLE bmp3:im_q40_rle8.bmp
convert q40.ppm -type Palette -compress None bmp3:im_q40.bmp
convert q40.ppm -type Palette pcx:im_q40.pcx
convert q40.ppm -type Palette -orient TopLeft tga:im_q40.tga
convert q40.ppm gif:im_q40.gif
