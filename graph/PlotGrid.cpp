#include "graph/PlotGrid.h"

#include "graph/Painter.h"
#include "graph/TickScale.h"

#include <cmath>
#include <string>

namespace {
// Grid lines reach this far out of the plot area towards their labels, pixels.
constexpr double tickLength = 3.0;
} // namespace

void drawXGrid(Painter& painter, const PlotFrame& f, bool labels) {
    const Ticks t = ticks(f.xValue(f.p1.x), f.xValue(f.p2.x), 60.0 / (f.p2.x - f.p1.x));
    if (!t.drawable())
        return;
    for (double k = t.first; k <= t.last; k += 1.0) {
        const double value = k * t.step;
        const double x = f.x(value);
        painter.line(x, f.p2.y + tickLength, x, f.p1.y);
        if (labels && std::fmod(k, 2.0) == 0.0) {
            const std::string label = tickLabel(value, t.step);
            painter.text(label, x - painter.textExtent(label).width / 2.0, f.p2.y + tickLength);
        }
    }
}

void drawYGrid(Painter& painter, const PlotFrame& f, double fontHeight, bool labels) {
    const Ticks t = ticks(f.yValue(f.p2.y), f.yValue(f.p1.y), fontHeight * 2.5 / (f.p2.y - f.p1.y));
    if (!t.drawable())
        return;
    for (double k = t.first; k <= t.last; k += 1.0) {
        const double value = k * t.step;
        const double y = f.y(value);
        painter.line(f.p1.x - tickLength, y, f.p2.x, y);
        if (labels) {
            const std::string label = tickLabel(value, t.step);
            const TextSize size = painter.textExtent(label);
            painter.text(label, f.p1.x - tickLength - size.width, y - size.height / 2.0);
        }
    }
}
