#pragma once

#include "config/Config.h"

// The view transform of one plot (pixel = offset + scale * value on each axis) and its plot
// area, as stored in the graph's record. The time graph and its FFT view both navigate through
// these operations; only what they broadcast afterwards differs.
struct PlotAxes {
    Point& scale;
    Point& offset;
    Point& p1; // upper-left corner of the plot area, pixels
    Point& p2; // lower-right corner

    // Moves the plot area to the new corners, keeping the visible value ranges. An axis without
    // extent, before or after, keeps its transform: the factor would be zero or infinite and
    // the axis lost for good.
    void resizeArea(double left, double top, double right, double bottom);
    // Pans the content by a pixel delta.
    void move(double dx, double dy);
    // The pixel rectangle becomes the whole plot area; false (and nothing changes) for a
    // rectangle without extent.
    bool zoomIn(double x1, double y1, double x2, double y2);
    // The whole plot area shrinks into the pixel rectangle; false for a degenerate one.
    bool zoomOut(double x1, double y1, double x2, double y2);
    // Scales the plot about a pixel point; a factor above 1 shows more.
    bool zoomAt(double x, double y, double fx, double fy);
    // The Y axis spans low ... high with 1 % of the range free below and above. False, with the
    // axis unchanged, when that gives no usable transform; otherwise whether it changed.
    bool fitY(double low, double high);
};
