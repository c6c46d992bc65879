#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

#include <algorithm>
#include <cmath>

namespace {

// Room left of the plot for the legend and the Y labels, and right of it for the range bars,
// in pixels.
constexpr double legendWidth = 120.0;
constexpr double rightMargin = 12.0;

} // namespace

PlotFrame Graph::frame() const {
    return PlotFrame{scale(), offset(), p1(), p2()};
}

void Graph::setViewport(double x1, double y1, double x2, double y2) {
    viewport_ = Viewport{x1, y1, x2, y2};
    const double fontHeight = server_.fontHeight();
    const double left = x1 + legendWidth;
    const double right = x2 - rightMargin;
    const double top = y1 + fontHeight + 4.0;
    const double bottom = y2 - (fontHeight + 7.0);
    // The value range visible so far stays visible.
    axes().resizeArea(left, top, right, bottom);
}

void Graph::broadcastXAxis() {
    analyseVisibleRange();
    server_.broadcastXAxis(false, scale().x, offset().x);
}

void Graph::fitX() {
    if (capacity_ < 1 || p1().x == p2().x)
        return;
    // The window ends just inside the right edge.
    scale().x = (p2().x - p1().x) / (capacity_ * dt_) * 0.999;
    offset().x = p1().x;
    broadcastXAxis();
}

bool Graph::autoScaleY() {
    double high = 1.0;
    double low = -1.0;
    if (!traces_.empty() && capacity_ >= 1) {
        // From the summaries: a window of 10^8 samples per channel takes no longer than a short
        // one, every second while the axis follows the data.
        ValueRange range;
        for (const ChannelTrace& trace : traces_)
            range.add(
                trace.envelope.range(trace.samples.data(), 0, static_cast<size_t>(capacity_)));
        // Nothing but values that are not a number: nothing to fit to.
        if (range.empty())
            return false;
        high = range.high;
        low = range.low;
        // Constant data still gets a range.
        const double margin = std::fabs(high + low) * 1e-5 + 1e-5;
        high += margin;
        low -= margin;
    }
    return axes().fitY(low, high);
}

std::vector<SampleSpan> Graph::statisticsSpans() const {
    const PlotFrame f = frame();
    double from = f.xValue(f.p1.x);
    double to = f.xValue(f.p2.x);
    if (graph_.cursors.both()) {
        from = *graph_.cursors.first;
        to = *graph_.cursors.second;
    }
    if (to < from)
        std::swap(from, to);
    // Samples at the limits count; a limit a rounding error off a sample's time still takes it.
    constexpr double slack = 1e-9; // samples
    const int held = std::min(capacity_, highWater_);
    const double first = std::ceil(from / dt_ - slack);
    const double last = std::floor(to / dt_ + slack) + 1.0;
    if (!(first < last) || last <= 0.0 || first >= held)
        return {};
    const SampleSpan span{static_cast<int>(std::max(first, 0.0)),
                          static_cast<int>(std::min(last, static_cast<double>(held)))};
    if (writeIndex_ <= 0 || writeIndex_ >= capacity_)
        return {span};
    const int gapEnd = std::min(capacity_, writeIndex_ + capacity_ / 10);
    std::vector<SampleSpan> spans;
    if (span.first < writeIndex_)
        spans.push_back({span.first, std::min(span.last, writeIndex_)});
    if (span.last > gapEnd)
        spans.push_back({std::max(span.first, gapEnd), span.last});
    return spans;
}

void Graph::broadcastCursors() {
    server_.broadcastCursors(false, graph_.cursors);
}

void Graph::setCursors(bool isFFT, const CursorPair& cursors) {
    if (server_.syncXAxis() && !isFFT)
        graph_.cursors = cursors;
}

void Graph::setXAxis(bool isFFT, double scaleX, double offsetX) {
    if (!server_.syncXAxis() || isFFT)
        return;
    // A zero or infinite scale (a display time of 0) would lose the axis.
    if (!std::isfinite(scaleX) || scaleX == 0.0 || !std::isfinite(offsetX))
        return;
    // The graph's own broadcast comes back here unchanged; its range is already taken.
    const bool changed = scaleX != scale().x || offsetX != offset().x;
    scale().x = scaleX;
    offset().x = offsetX;
    if (changed)
        analyseVisibleRange();
}
