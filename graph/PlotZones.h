#pragma once

#include "config/Config.h"
#include "graph/Instrument.h"

// A zone of an instrument in panel pixels, its left and top edges inclusive.
struct Zone {
    double x1;
    double y1;
    double x2;
    double y2;

    bool contains(double x, double y) const { return x1 <= x && x < x2 && y1 <= y && y < y2; }
    HitResult hit(int code) const { return HitResult{code, x1, y1, x2, y2}; }
};

// The zones around a plot area p1 ... p2 that every plot answers to: the plot itself, the line
// of X labels below it and the column of Y labels left of it over the viewport's height. No hit
// (code 0) outside them.
HitResult plotZoneHit(const Point& p1, const Point& p2, double viewportTop, double viewportBottom,
                      double fontHeight, double x, double y);
