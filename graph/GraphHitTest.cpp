#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/LegendEntry.h"
#include "graph/PlotZones.h"

HitResult Graph::hitTest(double x, double y) const {
    const HitResult onPlot =
        plotZoneHit(p1(), p2(), viewport_.y1, viewport_.y2, server_.fontHeight(), x, y);
    if (onPlot.code != noHit)
        return onPlot;
    for (const LegendRow& row : legendRows()) {
        const Zone box{viewport_.x1 + legendColumnLeft, row.top, viewport_.x1 + legendColumnRight,
                       row.top + rowHeight()};
        if (!row.valueRow && box.contains(x, y))
            return box.hit(row.channel < 0 ? clickHereHit : legendRowHit + row.channel);
    }
    const Zone whole{viewport_.x1, viewport_.y1, viewport_.x2, viewport_.y2};
    if (whole.contains(x, y))
        return whole.hit(viewportHit);
    return HitResult{};
}
