#!/bin/sh
# Writes the AVI fixtures of the AVI reader tests with the ffmpeg command, and
# next to each the frames as ffmpeg itself decodes them (raw RGB24, one frame
# after another). Run once from this folder; the outputs are committed.
set -e
cd "$(dirname "$0")"
src="-f lavfi -i testsrc=size=32x24:rate=10:duration=0.5"
snd="-f lavfi -i sine=frequency=440:sample_rate=8000:duration=0.5"
bx="-fflags +bitexact -flags:v +bitexact -flags:a +bitexact"
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
ff $src $bx -c:v rawvideo -pix_fmt bgr24 ff_bgr24.avi
ff $src $bx -c:v rawvideo -pix_fmt pal8 ff_pal8.avi
ff $src $bx -c:v msvideo1 ff_msvideo1.avi
ff $src $bx -c:v cinepak ff_cinepak.avi
ff $src $bx -c:v mjpeg -q:v 3 ff_mjpeg.avi
ff $src $snd $bx -c:v mjpeg -q:v 3 -c:a pcm_s16le -shortest ff_mjpeg_sound.avi
ff $src $snd $bx -c:v rawvideo -pix_fmt bgr24 -c:a pcm_u8 -shortest ff_bgr24_sound.avi
# B-frames: the decoder gives each picture some chunks after its own.
ff -f lavfi -i testsrc=size=64x48:rate=10 -frames:v 12 $bx -c:v mpeg4 -bf 2 -q:v 3 -vtag XVID ff_mpeg4_bframes.avi
for f in ff_*.avi; do
  ff -i "$f" -f rawvideo -pix_fmt rgb24 "${f%.avi}.rgb"
done
ff -i ff_mjpeg_sound.avi -map 0:a -f s16le ff_mjpeg_sound.pcm
ff -i ff_bgr24_sound.avi -map 0:a -f u8 ff_bgr24_sound.pcm
