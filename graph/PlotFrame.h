#pragma once

#include "config/Config.h"

#include <algorithm>

// A view's transform and plot area: pixel = offset + scale * value on each axis; p1 is the
// top-left and p2 the bottom-right corner of the plot area, in panel pixels.
struct PlotFrame {
    Point scale;
    Point offset;
    Point p1;
    Point p2;

    double x(double value) const { return offset.x + scale.x * value; }
    double y(double value) const { return offset.y + scale.y * value; }
    double xValue(double pixelX) const { return (pixelX - offset.x) / scale.x; }
    double yValue(double pixelY) const { return (pixelY - offset.y) / scale.y; }
    // Pixel y of a value, kept inside the plot area.
    double clampedY(double value) const { return std::max(p1.y, std::min(y(value), p2.y)); }
};
