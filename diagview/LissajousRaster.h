#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Which pixels of a square plot the pairs of a window fall on. A window holds up to millions of
// pairs, mostly on top of each other; drawn as runs of marked pixels per row, the picture costs
// a few hundred lines instead of a line per pair, and every pair is on it.
class LissajousRaster {
public:
    // A run of marked pixels of one row, first to last inclusive, counted from the plot's
    // top-left pixel.
    struct Run {
        int row = 0;
        int first = 0;
        int last = 0;
    };

    // Marks the pixels of count pairs (a * scaleA, b * scaleB) on a plot of size x size pixels
    // spanning -range ... range on both axes, b upwards. Pairs outside it or with a NaN are left
    // out.
    void fill(const double* a, const double* b, std::size_t count, double scaleA, double scaleB,
              double range, int size);
    // Marks more pairs on the plot as it is.
    void add(const double* a, const double* b, std::size_t count, double scaleA, double scaleB,
             double range);
    std::vector<Run> runs() const;
    int size() const { return size_; }

private:
    int size_ = 0;
    std::vector<std::uint8_t> marked_; // row after row
};
