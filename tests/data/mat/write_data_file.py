"""Writes a data file with SciPy's savemat in the shape the program saves one: per graph a
struct with "fft" and one struct per channel ("data" N x 1, "unit", "color" 3 x 1), then "time"
(L x 1, s).

Usage: write_data_file.py <path> compressed|uncompressed
"""
import sys

import numpy as np
import scipy.io


def column(values):
    return np.array(values, dtype=np.float64).reshape(-1, 1)


def main():
    path, mode = sys.argv[1], sys.argv[2]
    k = np.arange(1000)
    content = {
        "Position": {
            "fft": "true",
            "Encoder1": {
                "data": column((k % 13) * 0.25 - 1.5),
                "unit": "\u00b0",
                "color": column([1.0, 0.5, 0.0]),
            },
            "v": {"data": column(k % 7), "unit": "1/min", "color": column([0.0, 0.0, 1.0])},
        },
        "Speed": {
            "fft": "false",
            "x": {"data": column([0.125] * 400), "unit": "mV", "color": column([0.0, 0.0, 0.0])},
        },
        "time": column(k * 0.002),
    }
    scipy.io.savemat(path, content, do_compression=(mode == "compressed"))


if __name__ == "__main__":
    main()
