#!/usr/bin/env python3
"""malformed_movies.py OUT_FOLDER: writes the malformed and extreme movies that
the reliability figures run through the real program, each built from the
file format's definition (header, rectangle, tag records)."""
import os
import random
import struct
import sys
import zlib


def rect(xmin, xmax, ymin, ymax):
    bits = max(v.bit_length() for v in (xmin, xmax, ymin, ymax)) + 1
    stream = format(bits, "05b") + "".join(format(v & ((1 << bits) - 1), "0%db" % bits) for v in (xmin, xmax, ymin, ymax))
    stream += "0" * (-len(stream) % 8)
    return bytes(int(stream[i:i + 8], 2) for i in range(0, len(stream), 8))


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


SHOW_FRAME, END, SET_BACKGROUND, DO_ACTION, DEFINE_SPRITE, PLACE_OBJECT2 = 1, 0, 9, 12, 39, 26


def movie(tags, frames=1, width=640 * 20, height=480 * 20, compressed=False):
    body = rect(0, width, 0, height) + struct.pack("<HH", 12 << 8, frames) + b"".join(tags)
    length = 8 + len(body)
    if compressed:
        return b"CWS\x08" + struct.pack("<I", length) + zlib.compress(body)
    return b"FWS\x08" + struct.pack("<I", length) + body


def background(r, g, b):
    return tag(SET_BACKGROUND, bytes((r, g, b)))


def place(character, depth):
    # PlaceObject2 with only a character and a depth.
    return tag(PLACE_OBJECT2, struct.pack("<BHH", 0x02, depth, character))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(8)
    sound = movie([background(0x30, 0x60, 0x90), tag(SHOW_FRAME), tag(END)])

    # An endless loop: ActionJump (0x99) back onto itself, then ActionEnd.
    forever = tag(DO_ACTION, b"\x99\x02\x00" + struct.pack("<h", -5) + b"\x00")
    # 1,000 sprites, each placing the one before it.
    nested = []
    for sprite in range(1, 1001):
        inner = (place(sprite - 1, 1) if sprite > 1 else b"") + tag(SHOW_FRAME) + tag(END)
        nested.append(tag(DEFINE_SPRITE, struct.pack("<HH", sprite, 1) + inner))
    compressed = movie([background(0x30, 0x60, 0x90), tag(SHOW_FRAME), tag(END)], compressed=True)

    movies = {
        "01-empty": b"",
        "02-random-bytes": bytes(rng.randrange(256) for _ in range(4096)),
        "03-truncated-header": sound[:5],
        "04-truncated-body": sound[: len(sound) - 6],
        "05-corrupt-compressed": compressed[:8] + bytes(b ^ 0x5A for b in compressed[8:]),
        "06-declared-length-huge": sound[:4] + struct.pack("<I", 0xFFFFFFF0) + sound[8:],
        "07-script-loops-forever": movie([background(0x30, 0x60, 0x90), forever, tag(SHOW_FRAME), tag(END)]),
        "08-nested-sprites-1000": movie([background(0x30, 0x60, 0x90)] + nested + [place(1000, 1), tag(SHOW_FRAME), tag(END)]),
        "09-frames-65535": movie([background(0x30, 0x60, 0x90)] + [tag(SHOW_FRAME)] * 65535 + [tag(END)], frames=65535),
        "10-stage-100000x100000-twips": movie([background(0x30, 0x60, 0x90), tag(SHOW_FRAME), tag(END)],
                                              width=100000, height=100000),
        "11-sound-reference": sound,
    }
    for name, data in movies.items():
        with open(os.path.join(out, name + ".swf"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
