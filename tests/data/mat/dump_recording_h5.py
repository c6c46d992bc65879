"""Prints what a recording in MATLAB's version 7.3 layout holds, for the C++ tests: the data of
one channel and the time, one value per line in Python's round-trip form, then the loss table.

Usage: dump_recording_h5.py FILE GRAPH CHANNEL"""
import sys

import h5py

with h5py.File(sys.argv[1], "r") as f:
    data = f[sys.argv[2]][sys.argv[3]]["data"]
    time = f["time"]
    lost = f["lost"]
    print("data", data.shape[1], "time", time.shape[1])
    for value in data[0, :]:
        print(repr(float(value)))
    for value in time[0, :]:
        print(repr(float(value)))
    if lost.attrs.get("MATLAB_empty", 0):
        print("lost 0")
    else:
        print("lost", lost.shape[1])
        for row in range(lost.shape[1]):
            print(" ".join(str(int(lost[c, row])) for c in range(3)))
