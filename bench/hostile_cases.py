#!/usr/bin/python3
"""Writes the hostile pictures bench/hostile.sh measures into a folder: small
files whose headers claim huge pictures, and drawings that cost minutes of
work. Each is made from scratch, so the bytes are the same on every run."""
import io
import struct
import sys
import zlib

from PIL import Image


def jpeg_claiming(width, height, mode, progressive):
    """A real 16 x 16 JPEG whose frame header is made to claim width x height."""
    picture = Image.new(mode, (16, 16))
    picture.putdata([(x * 16 if mode == "L" else (x * 16, y * 16, 90))
                     for y in range(16) for x in range(16)])
    out = io.BytesIO()
    picture.save(out, "JPEG", quality=75, progressive=progressive)
    data = bytearray(out.getvalue())
    for i in range(2, len(data) - 9):
        if data[i] == 0xFF and data[i + 1] in (0xC0, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
    raise SystemExit("no frame header")


def tiff_of_shared_strips(width=15000, strips=65535):
    """A grey picture of one row per strip, every strip the same deflated row."""
    row = zlib.compress(bytes(width), 9)
    entries = [  # tag, type, count, value
        (256, 4, 1, width), (257, 4, 1, strips), (258, 3, 1, 8), (259, 3, 1, 8),
        (262, 3, 1, 1), (273, 4, strips, None), (277, 3, 1, 1), (278, 4, 1, 1),
        (279, 4, strips, None)]
    directory_bytes = 2 + 12 * len(entries) + 4
    offsets_at = 8 + directory_bytes
    counts_at = offsets_at + 4 * strips
    row_at = counts_at + 4 * strips
    out = bytearray(b"II*\0" + struct.pack("<I", 8) + struct.pack("<H", len(entries)))
    for tag, kind, count, value in entries:
        if tag == 273:
            value = offsets_at
        elif tag == 279:
            value = counts_at
        out += struct.pack("<HHII", tag, kind, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<I", row_at) * strips
    out += struct.pack("<I", len(row)) * strips
    return bytes(out + row)


def rle8_bmp_claiming(width=30000, height=30000):
    """Header, a grey palette and a run-length body that ends at once."""
    body = bytes([0, 1])  # end of bitmap
    offset = 14 + 40 + 1024
    header = b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(body), 2835, 2835, 256, 0)
    palette = b"".join(bytes([i, i, i, 0]) for i in range(256))
    return header + info + palette + body


def emf_of_ellipses(count=1000, side=8000):
    """count ellipses filling a side x side pixel frame."""
    records = [struct.pack("<IIiiii", 42, 24, 0, 0, side, side) for _ in range(count)]
    records.append(struct.pack("<IIIII", 14, 20, 0, 16, 20))
    device_pixels, device_mm = (1000, 1000), (250, 250)  # 4 pixels a millimetre
    frame = side * 100 // 4  # in hundredths of a millimetre
    body = b"".join(records)
    header = struct.pack("<II4i4iIIIHHIIII2i2i", 1, 88, 0, 0, side, side, 0, 0, frame, frame,
                         0x464D4520, 0x10000, 88 + len(body), len(records) + 1, 1, 0, 0, 0, 0,
                         *device_pixels, *device_mm)
    return header + body


def wmf_of_stretched_pictures(count=1000, side=4000):
    """count one-pixel pictures each stretched over the whole placeable frame."""
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, side, side, 96, 0)
    placeable += struct.pack("<H", 0)  # checksum, not read
    dib = struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, 4, 0, 0, 0, 0) + bytes([0, 0, 255, 0])
    parameters = struct.pack("<IH8h", 0x00CC0020, 0, 1, 1, 0, 0, side, side, 0, 0) + dib
    record = struct.pack("<IH", (6 + len(parameters)) // 2, 0x0F43) + parameters
    end = struct.pack("<IH", 3, 0)
    records = record * count + end
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(records)) // 2, 0, len(record) // 2, 0)
    return placeable + header + records


CASES = {
    "claims-32000.jpg": lambda: jpeg_claiming(32000, 32000, "RGB", False),
    "claims-32000-progressive.jpg": lambda: jpeg_claiming(32000, 32000, "RGB", True),
    "claims-32000-grey.jpg": lambda: jpeg_claiming(32000, 32000, "L", False),
    "shared-strips.tif": tiff_of_shared_strips,
    "claims-30000-rle8.bmp": rle8_bmp_claiming,
    "ellipses.emf": emf_of_ellipses,
    "ellipses-4000.emf": lambda: emf_of_ellipses(side=4000),
    "stretched.wmf": wmf_of_stretched_pictures,
}

if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    for name, make in CASES.items():
        with open(f"{folder}/{name}", "wb") as out:
            out.write(make())
