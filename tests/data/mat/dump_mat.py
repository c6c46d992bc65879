"""Prints a MAT-file, as SciPy reads it, in a canonical text form for comparison in tests.

One line per variable or field, in file order:
  header: <text>
  <path>: struct <rows>x<cols> fields <name>,<name>,...
  <path>: char <rows>x<cols> <ascii() of the text>
  <path>: double <rows>x<cols> <repr() of each value, column-major>
"""
import sys

import scipy.io


def shape(value):
    return "x".join(str(n) for n in value.shape)


def dump(path, value, lines):
    if value.dtype.names is not None:
        lines.append(f"{path}: struct {shape(value)} fields {','.join(value.dtype.names)}")
        for field in value.dtype.names:
            dump(f"{path}.{field}", value[0, 0][field], lines)
    elif value.dtype.kind == "U":
        text = "".join(value.flatten(order="F"))
        lines.append(f"{path}: char {shape(value)} {ascii(text)}")
    elif value.dtype.kind == "f" and value.dtype.itemsize == 8:  # either byte order
        numbers = " ".join(repr(float(v)) for v in value.flatten(order="F"))
        lines.append(f"{path}: double {shape(value)} {numbers}".rstrip())
    else:
        lines.append(f"{path}: unexpected {value.dtype}")


def main():
    # Characters are 16-bit code units holding Latin-1 bytes. With a one-byte codec SciPy narrows
    # every code unit to a byte in the file's byte order and then decodes it.
    contents = scipy.io.loadmat(
        sys.argv[1], chars_as_strings=False, squeeze_me=False, uint16_codec="latin-1"
    )
    lines = ["header: " + contents["__header__"].decode("latin-1")]
    for name, value in contents.items():
        if not name.startswith("__"):
            dump(name, value, lines)
    print("\n".join(lines))


if __name__ == "__main__":
    main()
