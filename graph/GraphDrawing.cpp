#include "graph/CurvePlotter.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/Painter.h"
#include "graph/PlotCursors.h"
#include "graph/PlotGrid.h"
#include "graph/TickScale.h"
#include "signal/Units.h"

#include <algorithm>
#include <cmath>

namespace {

Pen channelPen(const ChannelData& channel, int lineWidth) {
    return Pen{channel.color & 0xFFFFFF, lineWidth, true};
}

double within(double value, double low, double high) {
    return std::max(low, std::min(value, high));
}

} // namespace

void Graph::draw(Painter& painter) {
    painter.useTextFont();
    painter.text(graph_.caption, p1().x, p1().y - server_.fontHeight());
    drawBackground(painter, true);
    const double oneColumn = 1.0 / scale().x; // seconds
    drawCurves(painter, 0.0, writeIndex_ * dt_ - oneColumn);
    // Right of the gap the previous sweep stays visible until it is overwritten.
    const int gapEnd = writeIndex_ + capacity_ / 10;
    if (writeIndex_ == 0)
        drawCurves(painter, 0.0, capacity_ * dt_);
    else if (gapEnd < capacity_)
        drawCurves(painter, gapEnd * dt_, capacity_ * dt_);
    drawLegend(painter);
    drawRangeBars(painter);
    readoutWidth_ = 0.0;
    drawCursorReadout(painter);
}

void Graph::drawBackground(Painter& painter, bool labels) const {
    const PlotFrame f = frame();
    // White where values are allowed; with limits the forbidden bands keep the panel's grey.
    double top = f.p1.y;
    double bottom = f.p2.y;
    if (graph_.stopOnOutOfRange) {
        const double minValue = leadingNumber(graph_.minValue);
        const double maxValue = leadingNumber(graph_.maxValue);
        if (minValue < maxValue) {
            const double yMax = f.clampedY(maxValue);
            const double yMin = f.clampedY(minValue);
            top = std::min(yMax, yMin);
            bottom = std::max(yMax, yMin);
        }
    }
    painter.setPen(Pen::none());
    painter.setBrush(Brush{whiteColour, true});
    painter.rectangle(f.p1.x, top, f.p2.x, bottom);
    if (fftView_)
        fftView_->drawShading(painter, f, top, bottom);

    painter.setPen(Pen{gridColour, 1, true});
    drawXGrid(painter, f, labels);
    drawYGrid(painter, f, server_.fontHeight(), labels);

    painter.setPen(Pen{blackColour, 1, true});
    painter.setBrush(Brush::none());
    painter.rectangle(f.p1.x, f.p1.y, f.p2.x + 1.0, f.p2.y + 1.0);
}

void Graph::drawCurves(Painter& painter, double t0, double t1, FirstColumn first) const {
    const PlotFrame f = frame();
    for (int i = 0; i < channelCount(); ++i) {
        const size_t index = static_cast<size_t>(i);
        painter.setPen(channelPen(graph_.channelList[index], server_.lineWidth()));
        const ChannelTrace& trace = traces_[index];
        plotCurve(painter, f, SampleSeries{trace.samples.data(), capacity_, dt_, &trace.envelope},
                  t0, t1, first);
    }
}

void Graph::drawRangeBars(Painter& painter) const {
    const PlotFrame f = frame();
    const int lineWidth = server_.lineWidth();
    for (int i = 0; i < channelCount(); ++i) {
        const ChannelTrace& trace = traces_[static_cast<size_t>(i)];
        if (!(trace.observedMin <= trace.observedMax))
            continue;
        painter.setPen(channelPen(graph_.channelList[static_cast<size_t>(i)], lineWidth));
        const double x = f.p2.x + 2.0 + lineWidth / 2 + i * (lineWidth + 1);
        painter.line(x, f.clampedY(trace.observedMin), x, f.clampedY(trace.observedMax));
    }
}

void Graph::drawLive(int from) {
    const std::unique_ptr<Painter> screen = server_.screenPainter();
    const PlotFrame f = frame();
    // The gap runs one tenth of the window ahead of the newest sample; it only ever needs
    // clearing from where the previous gap ended.
    const int tenth = capacity_ / 10;
    const double gapStart = from > 0 ? from + tenth : 0;
    const double gapEnd = writeIndex_ + tenth;
    const int left = pixel(within(f.x(gapStart * dt_), f.p1.x, f.p2.x));
    const int right = pixel(within(f.x(gapEnd * dt_), f.p1.x, f.p2.x));
    const int top = pixel(f.p1.y);
    const int bottom = pixel(f.p2.y);
    if (right > left && bottom > top) {
        screen->setClip(left, top, right - left, bottom - top);
        screen->clear();
        drawBackground(*screen, false);
        server_.restoreHighlight(*screen);
        screen->resetClip();
    }
    // The previous piece ended at the column one column before its newest sample, wherever that
    // fell inside the column. Starting two columns early redraws that column whole, so the new
    // piece joins it exactly; starting one column early skipped it whenever the end fell inside
    // a column, leaving the join out and the next column half drawn.
    const double oneColumn = 1.0 / scale().x; // seconds
    drawCurves(*screen, std::max(0.0, from * dt_ - 2.0 * oneColumn),
               std::max(0.0, writeIndex_ * dt_ - oneColumn), FirstColumn::Whole);
    for (ChannelTrace& trace : traces_)
        trace.currentValue = trace.samples[static_cast<size_t>(writeIndex_)];
    drawRangeBars(*screen);
    // The new piece may have run under the cursors, and their values may have changed.
    drawCursorReadout(*screen);
}

void Graph::drawCursorReadout(Painter& painter) {
    const CursorPair& cursors = graph_.cursors;
    if (!cursors.any())
        return;
    std::vector<ReadoutLine> lines = cursorPositionLines(cursors, "t", "s", "Hz");
    // Samples the window has never held are not data.
    const int held = std::min(capacity_, highWater_);
    for (int i = 0; i < channelCount(); ++i) {
        const ChannelData& channel = graph_.channelList[static_cast<size_t>(i)];
        const double* samples = traces_[static_cast<size_t>(i)].samples.data();
        const double first = interpolatedSample(samples, held, cursors.first.value_or(-1.0) / dt_);
        const double second =
            interpolatedSample(samples, held, cursors.second.value_or(-1.0) / dt_);
        lines.push_back(
            channelReadoutLine(cursors, first, second, unitName(channel.unit), channel.color));
    }
    drawCursors(painter, frame(), cursors, lines, server_.fontHeight(), readoutWidth_);
}
