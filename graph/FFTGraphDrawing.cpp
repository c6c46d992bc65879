#include "graph/CurvePlotter.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/LegendEntry.h"
#include "graph/Painter.h"
#include "graph/PlotCursors.h"
#include "graph/PlotGrid.h"
#include "graph/TickScale.h"
#include "signal/Units.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int passColour = 0x00FF00;
constexpr int failColour = 0xFF0000;
// The visible samples of the time graph that no spectrum covers.
constexpr int unanalysedColour = 0x969696;

double within(double value, double low, double high) {
    return std::max(low, std::min(value, high));
}

} // namespace

void FFTGraph::draw(Painter& painter) {
    painter.useTextFont();
    painter.text("FFT of " + graph_.caption, p1().x, p1().y - server_.fontHeight());
    drawBackground(painter);
    drawCurves(painter);
    drawLegend(painter);
    drawCursorReadout(painter);
}

void FFTGraph::drawCursorReadout(Painter& painter) const {
    const CursorPair& cursors = graph_.fftCursors;
    if (!cursors.any())
        return;
    std::vector<ReadoutLine> lines = cursorPositionLines(cursors, "f", "Hz", "");
    const int transformLength = analyser_.transformLength();
    const double binsPerHz = transformLength * dt();
    const std::string scaleText = graph_.fftLogScale ? "dB " : "";
    for (int i = 0; i < channelCount(); ++i) {
        const ChannelData& channel = graph_.channelList[static_cast<size_t>(i)];
        const std::vector<double>& spectrum = spectra_[static_cast<size_t>(i)];
        // A channel added since the last computation has no spectrum yet.
        const int bins = range_.windowLength < 1
                             ? 0
                             : std::min(transformLength / 2, static_cast<int>(spectrum.size()));
        const double first =
            interpolatedSample(spectrum.data(), bins, cursors.first.value_or(-1.0) * binsPerHz);
        const double second =
            interpolatedSample(spectrum.data(), bins, cursors.second.value_or(-1.0) * binsPerHz);
        lines.push_back(channelReadoutLine(cursors, first, second,
                                           scaleText + unitName(channel.unit), channel.color));
    }
    // Drawn whole every time: the box needs to cover no earlier one.
    double width = 0.0;
    drawCursors(painter, frame(), cursors, lines, server_.fontHeight(), width);
}

void FFTGraph::drawBackground(Painter& painter) const {
    const PlotFrame f = frame();
    painter.setPen(Pen::none());
    painter.setBrush(Brush{whiteColour, true});
    painter.rectangle(f.p1.x, f.p1.y, f.p2.x, f.p2.y);
    drawRegions(painter);

    painter.setPen(Pen{gridColour, 1, true});
    drawXGrid(painter, f, true);
    drawYGrid(painter, f, server_.fontHeight(), true);

    painter.setPen(Pen{blackColour, 1, true});
    painter.setBrush(Brush::none());
    painter.rectangle(f.p1.x, f.p1.y, f.p2.x + 1.0, f.p2.y + 1.0);
}

void FFTGraph::drawRegions(Painter& painter) const {
    const PlotFrame f = frame();
    painter.setPen(Pen::none());
    const size_t count = std::min(regionPass_.size(), graph_.fftRegionList.size());
    for (size_t i = 0; i < count; ++i) {
        const FFTRegion& region = graph_.fftRegionList[i];
        painter.setBrush(Brush{regionPass_[i] ? passColour : failColour, true});
        // From the top of the plot down to the limit, inside the plot.
        const double left = within(f.x(region.freq - 0.5 * region.width), f.p1.x, f.p2.x);
        const double right = within(f.x(region.freq + 0.5 * region.width), f.p1.x, f.p2.x);
        painter.rectangle(left, f.p1.y, right, f.clampedY(region.limitFail));
    }
}

void FFTGraph::drawCurves(Painter& painter) const {
    if (range_.windowLength < 1)
        return;
    const PlotFrame f = frame();
    const int transformLength = analyser_.transformLength();
    const double binWidth = 1.0 / (transformLength * dt()); // Hz
    for (int i = 0; i < channelCount(); ++i) {
        const ChannelData& channel = graph_.channelList[static_cast<size_t>(i)];
        painter.setPen(Pen{channel.color & 0xFFFFFF, server_.lineWidth(), true});
        // Bins 0 ... F / 2 - 1 from 0 Hz to the Nyquist frequency; a channel added since the
        // last computation has none yet.
        const std::vector<double>& spectrum = spectra_[static_cast<size_t>(i)];
        const int bins = std::min(transformLength / 2, static_cast<int>(spectrum.size()));
        if (bins < 1)
            continue;
        const SampleSeries series{spectrum.data(), bins, binWidth};
        plotCurve(painter, f, series, 0.0, 0.5 / dt());
    }
}

void FFTGraph::drawLegend(Painter& painter) const {
    const double fontHeight = server_.fontHeight();
    const double x0 = x1_ + legendInset;
    double top = y1_ + legendInset;
    const std::string scaleText = graph_.fftLogScale ? "dB " : "";
    painter.setPen(Pen::none());
    if (graph_.channelList.empty())
        painter.text("click here", x0, top);
    for (const ChannelData& channel : graph_.channelList) {
        drawLegendEntry(painter, x0, top, fontHeight, channel.color,
                        channel.caption + " [" + scaleText + unitName(channel.unit) + "]",
                        x1_ + legendColumnRight);
        top += legendRowHeight(fontHeight);
    }
}

void FFTGraph::drawShading(Painter& painter, const PlotFrame& source, double top,
                           double bottom) const {
    if (range_.windowLength < 1)
        return;
    const double dt = this->dt();
    const double visible = std::trunc((source.p2.x - source.p1.x) / source.scale.x / dt);
    const double analysed = static_cast<double>(range_.averages) * range_.windowLength;
    if (!(analysed < visible))
        return;
    const double left =
        within(source.x((range_.startIndex + analysed) * dt), source.p1.x, source.p2.x);
    painter.setPen(Pen::none());
    painter.setBrush(Brush{unanalysedColour, true});
    painter.rectangle(left, top, source.p2.x, bottom);
}
