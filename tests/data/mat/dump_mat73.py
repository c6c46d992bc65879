"""Prints a MATLAB version 7.3 MAT file, as h5py reads it, in a canonical text form for tests.

  header <the 116 bytes of header text, verbatim>
  tail <bytes 116 to 127 in hex: subsystem offset, version, endian indicator>
  userblock <bytes before the HDF5 data>
then one line per group or dataset, sorted by path, with the shape MATLAB sees (rows x cols):
  <path> struct fields <MATLAB_fields, comma-separated>
  <path> <MATLAB_class> <numpy type> <rows>x<cols> <other attribute>=<type>:<value> ...: <values>
Values are in MATLAB's column-major order: repr() of each number, code units of characters. An
empty value (MATLAB_empty) shows the size it holds and no values.
"""
import sys

import h5py
from h5py import h5t


def matlab_class(obj):
    attribute = obj.attrs.get_id("MATLAB_class")
    kind = attribute.get_type()
    if not isinstance(kind, h5t.TypeStringID) or kind.is_variable_str():
        return "class-not-a-fixed-string"
    if kind.get_cset() != h5t.CSET_ASCII:
        return "class-not-ascii"
    return obj.attrs["MATLAB_class"].decode("ascii")


def other_attributes(obj):
    return [
        f"{name}={obj.attrs.get_id(name).dtype.str}:{obj.attrs[name].item()}"
        for name in sorted(obj.attrs)
        if name not in ("MATLAB_class", "MATLAB_fields")
    ]


def describe(path, obj, lines):
    if isinstance(obj, h5py.Group):
        fields = ",".join(b"".join(name).decode("ascii") for name in obj.attrs["MATLAB_fields"])
        lines.append(f"{path} {matlab_class(obj)} fields {fields}")
        return
    values = obj[()]
    if "MATLAB_empty" in obj.attrs:
        rows, cols = (int(n) for n in values)
        numbers = []
    else:
        cols, rows = values.shape  # HDF5 keeps MATLAB's dimensions in reverse order
        numbers = [repr(v.item()) for v in values.flatten()]
    words = [path, matlab_class(obj), values.dtype.str, f"{rows}x{cols}"] + other_attributes(obj)
    lines.append(" ".join(words) + ": " + " ".join(numbers))


def main():
    with open(sys.argv[1], "rb") as raw:
        start = raw.read(128)
    lines = ["header " + start[:116].decode("latin-1"), "tail " + start[116:].hex()]
    with h5py.File(sys.argv[1], "r") as mat:
        lines.append(f"userblock {mat.userblock_size}")
        objects = []
        mat.visititems(lambda name, obj: objects.append(("/" + name, obj)))
        for path, obj in sorted(objects, key=lambda item: item[0]):
            describe(path, obj, lines)
    print("\n".join(lines))


if __name__ == "__main__":
    main()
