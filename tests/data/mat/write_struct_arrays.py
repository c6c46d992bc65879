"""Writes a data file with SciPy's savemat whose graphs are struct arrays: "Array" (1 x 2, a
graph per element) and "Empty" (0 x 0), then the plain graph "Plain" and "time" (s).

Usage: write_struct_arrays.py <path>
"""
import sys

import numpy as np
import scipy.io


def channel(values):
    return {"data": np.array(values, dtype=np.float64).reshape(-1, 1), "unit": "mm"}


def main():
    fields = [("fft", "O"), ("c", "O")]
    array = np.empty((1, 2), dtype=fields)
    array[0, 0] = ("true", channel([1.0, 2.0]))
    array[0, 1] = ("false", channel([3.0]))
    content = {
        "Array": array,
        "Empty": np.empty((0, 0), dtype=fields),
        "Plain": {"fft": "false", "c": channel([4.0, 5.0, 6.0])},
        "time": np.array([[0.0], [0.5], [1.0]]),
    }
    scipy.io.savemat(sys.argv[1], content)


if __name__ == "__main__":
    main()
