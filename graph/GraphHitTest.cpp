#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

namespace {

// A zone of the instrument, its left and top edges inclusive.
struct Zone {
    double x1;
    double y1;
    double x2;
    double y2;

    bool contains(double x, double y) const { return x1 <= x && x < x2 && y1 <= y && y < y2; }
    HitResult hit(int code) const { return HitResult{code, x1, y1, x2, y2}; }
};

// Legend rows answer over this span from the viewport's left edge, pixels.
constexpr double legendHitLeft = 3.0;
constexpr double legendHitRight = 93.0;

} // namespace

HitResult Graph::hitTest(double x, double y) const {
    const double fontHeight = server_.fontHeight();
    const Zone plot{p1().x, p1().y, p2().x, p2().y};
    if (plot.contains(x, y))
        return plot.hit(plotHit);
    // The X labels' line below the plot; the first label may reach 30 pixels left of it.
    const Zone xAxis{p1().x - 30.0, p2().y + 3.0, p2().x + 2.0, p2().y + 3.0 + fontHeight};
    if (xAxis.contains(x, y))
        return xAxis.hit(xAxisHit);
    // The Y labels' column left of the tick marks, over the whole height.
    const Zone yAxis{p1().x - 40.0, viewport_.y1, p1().x - 3.0, viewport_.y2};
    if (yAxis.contains(x, y))
        return yAxis.hit(yAxisHit);
    for (const LegendRow& row : legendRows()) {
        const Zone box{viewport_.x1 + legendHitLeft, row.top, viewport_.x1 + legendHitRight,
                       row.top + rowHeight()};
        if (!row.valueRow && box.contains(x, y))
            return box.hit(row.channel < 0 ? clickHereHit : legendRowHit + row.channel);
    }
    const Zone whole{viewport_.x1, viewport_.y1, viewport_.x2, viewport_.y2};
    if (whole.contains(x, y))
        return whole.hit(viewportHit);
    return HitResult{};
}
