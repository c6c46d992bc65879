#include "graph/FFTGraph.h"
#include "graph/InstrumentServer.h"
#include "graph/LegendEntry.h"
#include "graph/PlotZones.h"

#include <algorithm>
#include <cmath>

namespace {

// Room left of the plot for the legend and the Y labels, and right of it, in pixels: as in the
// time graph, so that both plots line up.
constexpr double legendWidth = 120.0;
constexpr double rightMargin = 12.0;

} // namespace

PlotFrame FFTGraph::frame() const {
    return PlotFrame{scale(), offset(), p1(), p2()};
}

void FFTGraph::setViewport(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    const double fontHeight = server_.fontHeight();
    const double left = x1 + legendWidth;
    const double right = x2 - rightMargin;
    const double top = y1 + fontHeight + 4.0;
    const double bottom = y2 - (fontHeight + 7.0);
    // A record whose view was never laid out starts at 0 Hz to the Nyquist frequency instead of
    // its initial 0 ... 1 Hz.
    const GraphData initial;
    const bool firstLayout = p1().x == initial.fftGraphP1.x && p2().x == initial.fftGraphP2.x &&
                             scale().x == initial.fftScale.x && offset().x == initial.fftOffset.x;
    // The visible frequency and value ranges stay; an axis without extent keeps its transform.
    axes().resizeArea(left, top, right, bottom);
    if (firstLayout && source_ && left != right)
        fitXAxis();
}

void FFTGraph::fitXAxis() {
    // 0 Hz at the left edge, 0.999 of the Nyquist frequency at the right edge.
    scale().x = dt() * (p2().x - p1().x) * 2.0 / 0.999;
    offset().x = p1().x;
}

HitResult FFTGraph::hitTest(double x, double y) const {
    const HitResult onPlot = plotZoneHit(p1(), p2(), y1_, y2_, server_.fontHeight(), x, y);
    if (onPlot.code != noHit)
        return onPlot;
    // One row per channel, or the "click here" row of a graph without channels.
    const double rowHeight = legendRowHeight(server_.fontHeight());
    const std::size_t channels = graph_.channelList.size();
    for (std::size_t row = 0; row < std::max<std::size_t>(channels, 1); ++row) {
        const double top = y1_ + legendInset + static_cast<double>(row) * rowHeight;
        const Zone box{x1_ + legendColumnLeft, top, x1_ + legendColumnRight, top + rowHeight};
        if (box.contains(x, y))
            return box.hit(channels == 0 ? clickHereHit : legendRowHit + static_cast<int>(row));
    }
    const Zone whole{x1_, y1_, x2_, y2_};
    return whole.contains(x, y) ? whole.hit(viewportHit) : HitResult{};
}

void FFTGraph::broadcastXAxis() {
    server_.broadcastXAxis(true, scale().x, offset().x);
}

void FFTGraph::fitX() {
    if (p1().x == p2().x)
        return;
    fitXAxis();
    broadcastXAxis();
}

bool FFTGraph::autoScaleY() {
    // The drawn bins; minus infinity (a zero bin in dB) has no place on an axis.
    double high = -HUGE_VAL;
    double low = HUGE_VAL;
    for (const std::vector<double>& spectrum : spectra_) {
        for (size_t j = 0; j + 1 < spectrum.size(); ++j) {
            if (std::isfinite(spectrum[j])) {
                high = std::max(high, spectrum[j]);
                low = std::min(low, spectrum[j]);
            }
        }
    }
    // Without a value, -1 ... 1 as it is; values get a margin, so that constant ones still
    // have a range.
    if (low > high)
        return axes().fitY(-1.0, 1.0);
    const double margin = std::fabs(high + low) * 1e-5 + 1e-5;
    return axes().fitY(low - margin, high + margin);
}

void FFTGraph::broadcastCursors() {
    server_.broadcastCursors(true, graph_.fftCursors);
}

void FFTGraph::setCursors(bool isFFT, const CursorPair& cursors) {
    if (server_.syncXAxis() && isFFT)
        graph_.fftCursors = cursors;
}

void FFTGraph::setXAxis(bool isFFT, double scaleX, double offsetX) {
    if (!server_.syncXAxis() || !isFFT)
        return;
    if (!std::isfinite(scaleX) || scaleX == 0.0 || !std::isfinite(offsetX))
        return;
    scale().x = scaleX;
    offset().x = offsetX;
}
