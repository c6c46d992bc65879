#include "graph/CurvePlotter.h"

#include "graph/Painter.h"
#include "graph/SampleEnvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The pixel columns to draw, whole pixels from first to last inclusive.
struct Columns {
    double first = 0.0;
    double last = 0.0;
};

// Index of the sample held at time t, kept inside the series.
int sampleAt(const SampleSeries& series, double t) {
    return static_cast<int>(std::clamp(std::floor(t / series.dt), 0.0, series.count - 1.0));
}

ValueRange rangeOf(const SampleSeries& series, std::size_t first, std::size_t last) {
    return series.envelope ? series.envelope->range(series.values, first, last)
                           : scanRange(series.values, first, last);
}

void plotSteps(Painter& painter, const PlotFrame& frame, const SampleSeries& series,
               const Columns& columns) {
    bool started = false;
    int previousX = 0;
    int previousY = 0;
    for (double column = columns.first; column <= columns.last; column += 1.0) {
        const double index = std::floor(frame.xValue(column) / series.dt);
        if (index >= series.count)
            break;
        const double value = series.values[static_cast<int>(std::max(index, 0.0))];
        // No number, no point: the curve breaks there.
        started = started && !std::isnan(value);
        if (std::isnan(value))
            continue;
        const int x = pixel(column);
        const int y = pixel(frame.clampedY(value));
        if (started) {
            if (y != previousY)
                painter.drawLine(previousX, previousY, previousX, y);
            painter.drawLine(previousX, y, x, y);
        }
        started = true;
        previousX = x;
        previousY = y;
    }
}

void plotRanges(Painter& painter, const PlotFrame& frame, const SampleSeries& series,
                const Columns& columns, FirstColumn first) {
    const double halfColumn = 0.5 / frame.scale.x; // seconds
    // Samples of a column: from `start` (inclusive) to the first one at or after the column's
    // time plus half a column.
    const double firstFrom =
        frame.xValue(columns.first) - (first == FirstColumn::Whole ? halfColumn : 0.0);
    double start = std::max(0.0, std::ceil(firstFrom / series.dt));
    bool started = false;
    int previousTop = 0;
    int previousBottom = 0;
    for (double column = columns.first; column <= columns.last; column += 1.0) {
        if (start >= series.count)
            break;
        const double t = frame.xValue(column);
        const double end = std::min<double>(series.count, std::ceil((t + halfColumn) / series.dt));
        double low = 0.0;
        double high = 0.0;
        if (end > start) {
            const ValueRange range =
                rangeOf(series, static_cast<std::size_t>(start), static_cast<std::size_t>(end));
            const double none = std::numeric_limits<double>::quiet_NaN();
            low = range.empty() ? none : range.low;
            high = range.empty() ? none : range.high;
            start = end;
        } else {
            // Below one sample per column some columns hold none: they show the held sample.
            low = high = series.values[sampleAt(series, t)];
        }
        // Nothing but values that are not a number (samples a file does not have): the curve
        // breaks there instead of running along an edge.
        if (std::isnan(low)) {
            started = false;
            continue;
        }
        const int x = pixel(column);
        const int yLow = pixel(frame.clampedY(low));
        const int yHigh = pixel(frame.clampedY(high));
        const int top = std::min(yLow, yHigh);
        const int bottom = std::max(yLow, yHigh);
        if (top != bottom)
            painter.drawLine(x, top, x, bottom);
        else
            painter.drawLine(x, top, x + 1, top);
        if (started) {
            if (previousTop < bottom)
                painter.drawLine(x, bottom, x - 1, previousTop);
            if (previousBottom > top)
                painter.drawLine(x, top, x - 1, previousBottom);
        }
        started = true;
        previousTop = top;
        previousBottom = bottom;
    }
}

} // namespace

void plotCurve(Painter& painter, const PlotFrame& frame, const SampleSeries& series, double t0,
               double t1, FirstColumn first) {
    if (!(frame.scale.x > 0.0) || !(series.dt > 0.0) || series.count < 1)
        return;
    const Columns columns{std::ceil(std::max(frame.x(t0), frame.p1.x)),
                          std::min(frame.x(t1), std::floor(frame.p2.x))};
    if (!(columns.first < columns.last))
        return;
    const double samplesPerColumn = 1.0 / (frame.scale.x * series.dt);
    if (samplesPerColumn < 0.5)
        plotSteps(painter, frame, series, columns);
    else
        plotRanges(painter, frame, series, columns, first);
}
