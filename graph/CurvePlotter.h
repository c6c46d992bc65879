#pragma once

#include "graph/PlotFrame.h"

class Painter;
class SampleEnvelope;

// The samples of one channel: values[i] belongs to the time i * dt (seconds).
struct SampleSeries {
    const double* values = nullptr;
    int count = 0;
    double dt = 1.0;
    // Summaries of the values, so that wide columns cost no more than narrow ones; without them
    // every column's values are scanned.
    const SampleEnvelope* envelope = nullptr;
};

// Which samples the first pixel column of a drawing covers. A drawing that begins the curve
// takes them from the column's own time on. A piece that continues a curve already on screen
// takes the whole column, half a column on either side, so that it draws the column the curve
// was drawn with and joins the next one to it exactly.
enum class FirstColumn { FromItsTime, Whole };

// Draws the series between the times t0 and t1 (seconds) with the painter's pen, one pixel
// column at a time. With fewer than half a sample per column it draws the steps between the
// samples; otherwise each column shows the range of its samples as one vertical line, joined
// to the previous column. Values that are not a number are left out of a column's range; where
// there is nothing else the curve breaks.
void plotCurve(Painter& painter, const PlotFrame& frame, const SampleSeries& series, double t0,
               double t1, FirstColumn first = FirstColumn::FromItsTime);
