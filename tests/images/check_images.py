#!/usr/bin/env python3
"""Keeps the run-time images honest without a display: every file the program loads exists,
has the size the tool bar, the window manager and the readout panel expect, and is exactly what
scripts/make-images produces, so nobody edits a generated file by hand or forgets to
regenerate after changing the script.

Usage: check_images.py SOURCE_DIR
"""

import os
import struct
import subprocess
import sys
import tempfile

TOOLS = ["AutoZoom.png", "Widen.png", "Move.png", "MagnifyPlus.png", "MagnifyMinus.png",
         "Cursors.png"]
ICON = "TorvenIcon4848.ico"
LOGO = "L_O_G_O.png"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_header(data):
    """(width, height, bit depth, colour type) from the IHDR chunk."""
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        raise ValueError("not a PNG file")
    return struct.unpack(">IIBB", data[16:26])


def ico_sizes(data):
    """Sizes of the images in an ICO file, read from each image's own header (the directory
    stores 256 as 0, and readers trust the embedded header anyway)."""
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1 or count == 0:
        raise ValueError("not an ICO file")
    sizes = []
    for i in range(count):
        w, h, _, _, _, _, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        body = data[offset:offset + length]
        if len(body) != length:
            raise ValueError("image %d runs past the end of the file" % i)
        if body[:8] == PNG_SIGNATURE:
            iw, ih = png_header(body)[:2]
        else:
            # A bitmap entry's height counts the colour rows and the AND mask rows.
            header_size, iw, ih2 = struct.unpack("<Iii", body[:12])
            if header_size < 40 or ih2 <= 0 or ih2 % 2:
                raise ValueError("image %d has an unexpected bitmap header" % i)
            ih = ih2 // 2
        if (w or 256, h or 256) != (iw, ih):
            raise ValueError("image %d: directory says %dx%d, image is %dx%d"
                             % (i, w or 256, h or 256, iw, ih))
        sizes.append((iw, ih))
    return sizes


def check(source_dir):
    failures = []
    images = os.path.join(source_dir, "Images")

    def read(name):
        with open(os.path.join(images, name), "rb") as f:
            return f.read()

    for name in TOOLS:
        try:
            w, h, depth, colour = png_header(read(name))
            if (w, h) != (20, 20):
                failures.append("%s is %dx%d, tool bar bitmaps are 20x20" % (name, w, h))
            if (depth, colour) != (8, 6):
                failures.append("%s is not 8-bit RGBA (needs transparency)" % name)
        except (OSError, ValueError, struct.error) as e:
            failures.append("%s: %s" % (name, e))

    try:
        sizes = ico_sizes(read(ICON))
        if (48, 48) not in sizes:
            failures.append("%s holds %s but no 48x48 image" % (ICON, sizes))
    except (OSError, ValueError, struct.error) as e:
        failures.append("%s: %s" % (ICON, e))

    try:
        w, h, _, _ = png_header(read(LOGO))
        if not 40 <= h <= 100 or not 100 <= w <= 600:
            failures.append("%s is %dx%d, the readout panel expects about 300x60" % (LOGO, w, h))
    except (OSError, ValueError, struct.error) as e:
        failures.append("%s: %s" % (LOGO, e))

    generator = os.path.join(source_dir, "scripts", "make-images")
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([sys.executable, generator, out], capture_output=True, text=True)
        if run.returncode != 0:
            failures.append("make-images failed: %s" % run.stderr.strip())
        else:
            generated = sorted(os.listdir(out))
            expected = sorted(TOOLS + [ICON, LOGO])
            if generated != expected:
                failures.append("make-images wrote %s, expected %s" % (generated, expected))
            for name in generated:
                with open(os.path.join(out, name), "rb") as f:
                    fresh = f.read()
                try:
                    committed = read(name)
                except OSError:
                    failures.append("Images/%s is missing" % name)
                    continue
                if fresh != committed:
                    failures.append("Images/%s differs from what make-images produces; "
                                    "run scripts/make-images" % name)
    return failures


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_images.py SOURCE_DIR\n")
        return 2
    failures = check(os.path.abspath(argv[1]))
    for f in failures:
        print("FAILED: " + f)
    print("0 passed, 1 failed" if failures else "1 passed, 0 failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
