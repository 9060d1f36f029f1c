#!/bin/sh
# Wrote the seeds of fuzz_avi (fuzz/corpus/avi) with the ffmpeg command: tiny AVI files of
# every layout the reader handles (raw 24- and 8-bit, RLE-free codecs through
# libavcodec, index and no index, with and without sound), so the fuzzer starts
# inside the chunk and stream code instead of at the RIFF magic.
#   make_seeds.sh <corpus-folder>
set -e
out="${1:?corpus folder}"
mkdir -p "$out"
src="-f lavfi -i testsrc=size=16x12:rate=5:duration=0.6"
snd="-f lavfi -i sine=frequency=440:sample_rate=8000:duration=0.6"
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
ff $src -c:v rawvideo -pix_fmt bgr24 "$out/bgr24.avi"
ff $src -c:v rawvideo -pix_fmt pal8 "$out/pal8.avi"
ff $src -c:v rawvideo -pix_fmt rgb555le "$out/rgb555.avi"
ff $src -c:v msvideo1 "$out/msvideo1.avi"
ff $src -c:v cinepak "$out/cinepak.avi"
ff $src -c:v mjpeg -q:v 5 "$out/mjpeg.avi"
ff $src -c:v ffv1 "$out/ffv1.avi"
ff $src -c:v zmbv -pix_fmt pal8 "$out/zmbv.avi"
ff $src -c:v png "$out/png.avi"
ff $src -c:v mpeg4 -bf 2 -vtag XVID "$out/mpeg4_bframes.avi"
ff $src $snd -c:v rawvideo -pix_fmt bgr24 -c:a pcm_u8 -shortest "$out/bgr24_sound8.avi"
ff $src $snd -c:v mjpeg -c:a pcm_s16le -shortest "$out/mjpeg_sound16.avi"
ff $src -c:v rawvideo -pix_fmt bgr24 -flags +bitexact -fflags +bitexact "$out/bitexact.avi"
ff -f lavfi -i testsrc=size=7x5:rate=5:duration=0.4 -c:v rawvideo -pix_fmt bgr24 "$out/odd_width.avi"
