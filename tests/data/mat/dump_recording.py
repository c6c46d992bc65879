"""Prints what a recording holds, for the C++ tests: the data of one channel and the time, one
value per line in Python's round-trip form, then the loss table (row from 1, frames,
substitutes). Reads MATLAB's version 7.3 layout with h5py and a MATLAB 5 file with SciPy.

Usage: dump_recording.py FILE GRAPH CHANNEL"""
import sys

import h5py


def dump(data, time, lost):
    print("data", len(data), "time", len(time))
    for value in data:
        print(repr(float(value)))
    for value in time:
        print(repr(float(value)))
    print("lost", len(lost))
    for row in lost:
        print(" ".join(str(int(v)) for v in row))


path, graph, channel = sys.argv[1:4]
if h5py.is_hdf5(path):
    with h5py.File(path, "r") as f:
        lost = f["lost"]
        table = [] if lost.attrs.get("MATLAB_empty", 0) else lost[()].T
        dump(f[graph][channel]["data"][0, :], f["time"][0, :], table)
else:
    import scipy.io

    m = scipy.io.loadmat(path, simplify_cells=True)
    lost = m["lost"].reshape(-1, 3)
    dump(m[graph][channel]["data"].ravel(), m["time"].ravel(), lost)
