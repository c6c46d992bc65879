#include "graph/PlotZones.h"

HitResult plotZoneHit(const Point& p1, const Point& p2, double viewportTop, double viewportBottom,
                      double fontHeight, double x, double y) {
    const Zone plot{p1.x, p1.y, p2.x, p2.y};
    if (plot.contains(x, y))
        return plot.hit(plotHit);
    // The X labels' line below the plot; the first label may reach 30 pixels left of it.
    const Zone xAxis{p1.x - 30.0, p2.y + 3.0, p2.x + 2.0, p2.y + 3.0 + fontHeight};
    if (xAxis.contains(x, y))
        return xAxis.hit(xAxisHit);
    // The Y labels' column left of the tick marks, over the whole height.
    const Zone yAxis{p1.x - 40.0, viewportTop, p1.x - 3.0, viewportBottom};
    if (yAxis.contains(x, y))
        return yAxis.hit(yAxisHit);
    return HitResult{};
}
