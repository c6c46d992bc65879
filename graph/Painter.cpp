#include "graph/Painter.h"

#include <algorithm>
#include <cmath>

int pixel(double coordinate) {
    // A million pixels lies beyond every screen yet fits an int with room for sums.
    constexpr double limit = 1e6;
    if (std::isnan(coordinate))
        return 0;
    return static_cast<int>(std::floor(std::clamp(coordinate, -limit, limit) + 0.5));
}

void Painter::line(double x1, double y1, double x2, double y2) {
    drawLine(pixel(x1), pixel(y1), pixel(x2), pixel(y2));
}

void Painter::rectangle(double x1, double y1, double x2, double y2) {
    drawRectangle(pixel(x1), pixel(y1), pixel(x2) - pixel(x1), pixel(y2) - pixel(y1));
}

void Painter::text(const std::string& text, double x, double y) {
    drawText(text, pixel(x), pixel(y));
}

void Painter::clip(double x1, double y1, double x2, double y2) {
    setClip(pixel(x1), pixel(y1), pixel(x2) - pixel(x1), pixel(y2) - pixel(y1));
}
