#!/usr/bin/env python3
"""Reads the pictures the end-to-end scripts check, with the standard library
only (JPEG and GIF pixels are decoded by ImageMagick's convert, a second
opinion independent of the program's own codecs).

  pictures.py type FILE                 JPEG, GIF, BMP or unknown, from the magic bytes
  pictures.py size FILE                 WIDTHxHEIGHT from the file's own header
  pictures.py same-region FILE PHOTO LEFT TOP MAXDIFF
        FILE's pixels against the region of the BMP PHOTO whose top-left
        corner is (LEFT, TOP); true when the mean difference per channel is
        at most MAXDIFF (0 for a lossless file)
  pictures.py on-screen SCREEN WIDTH HEIGHT PHOTO LEFT TOP W H X Y
        true when the raw RGB screenshot SCREEN (WIDTH x HEIGHT) shows the
        W x H region of PHOTO at (LEFT, TOP) pixel for pixel with its top-left
        corner at (X, Y), give or take a few pixels of border
"""

import struct
import subprocess
import sys


def kind(data):
    if data[:3] == b"\xff\xd8\xff":
        return "JPEG"
    if data[:6] in (b"GIF87a", b"GIF89a"):
        return "GIF"
    if data[:2] == b"BM":
        return "BMP"
    return "unknown"


def jpeg_size(data):
    i = 2
    while i + 9 < len(data) and data[i] == 0xFF:
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack(">HH", data[i + 5:i + 9])
            return width, height
        i += 2 + length
    raise ValueError("no frame header")


def bmp_header(data):
    offset, header = struct.unpack("<I", data[10:14])[0], struct.unpack("<I", data[14:18])[0]
    width, height, _, bits, compression = struct.unpack("<iiHHI", data[18:34])
    if header < 40 or bits not in (24, 32) or compression not in (0, 3):
        raise ValueError(f"unsupported BMP: {bits} bits, compression {compression}")
    return offset, width, height, bits


def size(data):
    k = kind(data)
    if k == "JPEG":
        return jpeg_size(data)
    if k == "GIF":
        return struct.unpack("<HH", data[6:10])
    if k == "BMP":
        _, width, height, _ = bmp_header(data)
        return width, abs(height)
    raise ValueError("not a picture")


class Rgb:
    """Pixels as rows of bytes, three per pixel."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def pixel(self, x, y):
        row = self.rows[y]
        return row[3 * x:3 * x + 3]


def read_bmp(data):
    offset, width, height, bits = bmp_header(data)
    step = bits // 8
    stride = (width * step + 3) // 4 * 4
    rows = []
    for r in range(abs(height)):
        start = offset + r * stride
        line = data[start:start + width * step]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[2::step], line[1::step], line[0::step]
        rows.append(bytes(rgb))
    if height > 0:
        rows.reverse()
    return Rgb(width, abs(height), rows)


def read_any(path):
    data = open(path, "rb").read()
    if kind(data) == "BMP":
        return read_bmp(data)
    width, height = size(data)
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    rows = [raw[3 * width * r:3 * width * (r + 1)] for r in range(height)]
    return Rgb(width, height, rows)


def mean_difference(picture, photo, left, top, x0=0, y0=0, width=None, height=None):
    """Mean absolute difference per channel between picture's (x0, y0, width,
    height) part and photo's part of the same size at (left, top)."""
    width = picture.width if width is None else width
    height = picture.height if height is None else height
    total = 0
    for y in range(height):
        a = picture.rows[y0 + y][3 * x0:3 * (x0 + width)]
        b = photo.rows[top + y][3 * left:3 * (left + width)]
        total += sum(abs(p - q) for p, q in zip(a, b))
    return total / (3 * width * height)


def same_region(path, photo_path, left, top, max_difference):
    picture, photo = read_any(path), read_any(photo_path)
    if left + picture.width > photo.width or top + picture.height > photo.height:
        print(f"{picture.width}x{picture.height} at ({left}, {top}) is outside the "
              f"{photo.width}x{photo.height} photo")
        return False
    difference = mean_difference(picture, photo, left, top)
    print(f"mean difference {difference:.2f} (at most {max_difference})")
    return difference <= max_difference


def shown_at(screen, photo, left, top, width, height, x, y):
    """The screen shows the photo's region pixel for pixel at (x, y)."""
    if x < 0 or y < 0 or x + width > screen.width or y + height > screen.height:
        return False
    return all(screen.rows[y + r][3 * x:3 * (x + width)] ==
               photo.rows[top + r][3 * left:3 * (left + width)] for r in range(height))


def on_screen(screen_path, screen_width, screen_height, photo_path, left, top, width, height,
              x, y):
    raw = open(screen_path, "rb").read()
    screen = Rgb(screen_width, screen_height,
                 [raw[3 * screen_width * r:3 * screen_width * (r + 1)]
                  for r in range(screen_height)])
    photo = read_any(photo_path)
    # The picture is drawn unscaled on a 24-bit screen: it shows exactly, at
    # the client corner or a border's width away from it.
    for dy in range(-4, 5):
        for dx in range(-4, 5):
            if shown_at(screen, photo, left, top, width, height, x + dx, y + dy):
                print(f"shown at ({x + dx}, {y + dy})")
                return True
    print("not on the screen")
    return False


def main(argv):
    command = argv[1]
    if command == "type":
        print(kind(open(argv[2], "rb").read(16)))
        return True
    if command == "size":
        print("%dx%d" % size(open(argv[2], "rb").read()))
        return True
    if command == "same-region":
        return same_region(argv[2], argv[3], int(argv[4]), int(argv[5]), float(argv[6]))
    if command == "on-screen":
        numbers = [int(a) for a in argv[3:5]] + [argv[5]] + [int(a) for a in argv[6:12]]
        return on_screen(argv[2], *numbers)
    raise SystemExit(f"unknown command {command}")


if __name__ == "__main__":
    try:
        sys.exit(0 if main(sys.argv) else 1)
    except (OSError, ValueError, IndexError, subprocess.CalledProcessError) as error:
        print(f"pictures.py: {error}")
        sys.exit(2)
