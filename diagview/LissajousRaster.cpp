#include "diagview/LissajousRaster.h"

#include <algorithm>

void LissajousRaster::fill(const double* a, const double* b, std::size_t count, double scaleA,
                           double scaleB, double range, int size) {
    size_ = std::max(size, 0);
    marked_.assign(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_), 0);
    add(a, b, count, scaleA, scaleB, range);
}

void LissajousRaster::add(const double* a, const double* b, std::size_t count, double scaleA,
                          double scaleB, double range) {
    if (size_ == 0 || !(range > 0.0))
        return;
    // Pixels per value, and the centre pixel at value 0.
    const double half = size_ / 2.0;
    const double perValueA = scaleA * half / range;
    const double perValueB = scaleB * half / range;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = half + a[i] * perValueA;
        const double y = half - b[i] * perValueB;
        // Also false for NaN.
        if (!(x >= 0.0 && x < size_ && y >= 0.0 && y < size_))
            continue;
        marked_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
                static_cast<std::size_t>(x)] = 1;
    }
}

std::vector<LissajousRaster::Run> LissajousRaster::runs() const {
    std::vector<Run> found;
    for (int row = 0; row < size_; ++row) {
        const std::uint8_t* pixels = marked_.data() + static_cast<std::size_t>(row) * size_;
        for (int x = 0; x < size_;) {
            if (!pixels[x]) {
                ++x;
                continue;
            }
            const int first = x;
            while (x < size_ && pixels[x])
                ++x;
            found.push_back(Run{row, first, x - 1});
        }
    }
    return found;
}
