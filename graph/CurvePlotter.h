#pragma once

#include "graph/PlotFrame.h"

class Painter;

// The samples of one channel: values[i] belongs to the time i * dt (seconds).
struct SampleSeries {
    const double* values = nullptr;
    int count = 0;
    double dt = 1.0;
};

// Draws the series between the times t0 and t1 (seconds) with the painter's pen, one pixel
// column at a time. With fewer than half a sample per column it draws the steps between the
// samples; otherwise each column shows the range of its samples as one vertical line, joined
// to the previous column.
void plotCurve(Painter& painter, const PlotFrame& frame, const SampleSeries& series, double t0,
               double t1);
