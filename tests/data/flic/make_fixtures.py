#!/usr/bin/env python3
"""Writes no_pad.fli: a 128 x 128 FLI of one frame whose byte-run chunk has an
odd length and whose file ends without that chunk's pad byte, so the frame
announces one byte more than the file holds, as some writers leave it.
Pillow shows it (the ffmpeg 5.1 demuxer drops a frame cut short); check with
  /usr/bin/python3 -c "from PIL import Image; im = Image.open('no_pad.fli'); \
    print(bytes(im.getdata()) == open('no_pad.idx', 'rb').read())"
no_pad.idx holds the picture's colour indexes, top row first.
Run once from this folder; the outputs are committed."""
import struct

W = H = 128

def colour_chunk():
    # One packet of all 256 entries, 64 levels: entry i is (i, 63 - i, i / 2) / 4.
    body = struct.pack("<HBB", 1, 0, 0)
    body += b"".join(bytes((i // 4, (255 - i) // 4, i // 8)) for i in range(256))
    return struct.pack("<IH", 6 + len(body), 11) + body

def picture():
    # Row y: pixel x is (x + 2 y) mod 256 (row 0 then starts with two equal bytes).
    return [[(x + 2 * y) % 256 for x in range(W)] for y in range(H)]

def byte_run_chunk(rows):
    body = b""
    for y, row in enumerate(rows):
        # Literal packets of 127 and 1 bytes (counts -127, -1); row 0 starts
        # with a run of two equal bytes and one literal of 126, so the chunk's
        # length comes out odd.
        if y == 0:
            row[1] = row[0]
            body += bytes((2, 2, row[0], 256 - 126)) + bytes(row[2:])
        else:
            body += bytes((2, 256 - 127)) + bytes(row[:127]) + bytes((255,)) + bytes(row[127:])
    assert len(body) % 2 == 1
    return struct.pack("<IH", 6 + len(body), 15) + body

rows = picture()
chunks = colour_chunk() + byte_run_chunk(rows)
frame_size = 16 + len(chunks) + 1  # the pad byte the file then leaves out
frame = struct.pack("<IHH8x", frame_size, 0xF1FA, 2) + chunks
header = bytearray(128)
struct.pack_into("<IHHHHHHI", header, 0, 128 + frame_size, 0xAF11, 1, W, H, 8, 3, 5)
struct.pack_into("<HH", header, 38, 1, 1)
data = bytes(header) + frame
assert len(data) == 128 + frame_size - 1
with open("no_pad.fli", "wb") as f:
    f.write(data)
with open("no_pad.idx", "wb") as f:  # the expected pixels, top row first
    f.write(bytes(v for row in rows for v in row))
