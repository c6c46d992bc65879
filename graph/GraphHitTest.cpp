#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/PlotZones.h"

namespace {

// Legend rows answer over this span from the viewport's left edge, pixels.
constexpr double legendHitLeft = 3.0;
constexpr double legendHitRight = 93.0;

} // namespace

HitResult Graph::hitTest(double x, double y) const {
    const HitResult onPlot =
        plotZoneHit(p1(), p2(), viewport_.y1, viewport_.y2, server_.fontHeight(), x, y);
    if (onPlot.code != noHit)
        return onPlot;
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
