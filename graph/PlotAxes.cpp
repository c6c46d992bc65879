#include "graph/PlotAxes.h"

#include <cmath>

void PlotAxes::resizeArea(double left, double top, double right, double bottom) {
    if (p1.x != p2.x && left != right) {
        const double kx = (left - right) / (p1.x - p2.x);
        scale.x *= kx;
        offset.x = left - kx * p1.x + kx * offset.x;
    }
    if (p1.y != p2.y && top != bottom) {
        const double ky = (top - bottom) / (p1.y - p2.y);
        scale.y *= ky;
        offset.y = top - ky * p1.y + ky * offset.y;
    }
    p1 = Point{left, top};
    p2 = Point{right, bottom};
}

void PlotAxes::move(double dx, double dy) {
    offset.x += dx;
    offset.y += dy;
}

bool PlotAxes::zoomIn(double x1, double y1, double x2, double y2) {
    if (x1 == x2 || y1 == y2)
        return false;
    const double kx = (p1.x - p2.x) / (x1 - x2);
    const double ky = (p1.y - p2.y) / (y1 - y2);
    scale.x *= kx;
    scale.y *= ky;
    offset.x = p1.x - kx * x1 + kx * offset.x;
    offset.y = p1.y - ky * y1 + ky * offset.y;
    return true;
}

bool PlotAxes::zoomOut(double x1, double y1, double x2, double y2) {
    if (x1 == x2 || y1 == y2 || p1.x == p2.x || p1.y == p2.y)
        return false;
    const double kx = (x1 - x2) / (p1.x - p2.x);
    const double ky = (y1 - y2) / (p1.y - p2.y);
    scale.x *= kx;
    scale.y *= ky;
    offset.x = x1 - kx * p1.x + kx * offset.x;
    offset.y = y1 - ky * p1.y + ky * offset.y;
    return true;
}

bool PlotAxes::zoomAt(double x, double y, double fx, double fy) {
    return zoomIn(x + (p1.x - x) * fx, y + (p1.y - y) * fy, x + (p2.x - x) * fx,
                  y + (p2.y - y) * fy);
}

bool PlotAxes::fitY(double low, double high) {
    const double newScale = (p1.y - p2.y) / ((high - low) * 1.02);
    const double newOffset = p2.y - (low - 0.01 * (high - low)) * newScale;
    if (!std::isfinite(newScale) || !std::isfinite(newOffset) || newScale == 0.0)
        return false;
    const bool changed = newScale != scale.y || newOffset != offset.y;
    scale.y = newScale;
    offset.y = newOffset;
    return changed;
}
