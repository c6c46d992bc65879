#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/LegendEntry.h"
#include "graph/NumberText.h"
#include "graph/Painter.h"
#include "signal/Units.h"

namespace {

// The box cleared before a value text is redrawn, pixels.
constexpr double valueBoxWidth = 50.0;

} // namespace

double Graph::rowHeight() const {
    return legendRowHeight(server_.fontHeight());
}

std::vector<Graph::LegendRow> Graph::legendRows() const {
    std::vector<LegendRow> rows;
    double top = viewport_.y1 + legendInset;
    if (graph_.channelList.empty()) {
        rows.push_back(LegendRow{top, -1, false});
        return rows;
    }
    for (size_t i = 0; i < graph_.channelList.size(); ++i) {
        const int channel = static_cast<int>(i);
        rows.push_back(LegendRow{top, channel, false});
        top += rowHeight();
        if (graph_.channelList[i].displayTextValue) {
            rows.push_back(LegendRow{top, channel, true});
            top += rowHeight();
        }
    }
    return rows;
}

void Graph::drawLegend(Painter& painter) {
    const double fontHeight = server_.fontHeight();
    const double x0 = viewport_.x1 + legendInset;
    painter.setPen(Pen::none());
    for (const LegendRow& row : legendRows()) {
        if (row.channel < 0) {
            painter.text("click here", x0, row.top);
            continue;
        }
        const ChannelData& channel = graph_.channelList[static_cast<size_t>(row.channel)];
        if (!row.valueRow) {
            drawLegendEntry(painter, x0, row.top, fontHeight, channel.color,
                            channel.caption + " [" + unitName(channel.unit) + "]",
                            viewport_.x1 + legendColumnRight);
        } else if (row.channel < channelCount()) {
            ChannelTrace& trace = traces_[static_cast<size_t>(row.channel)];
            trace.valueTextX = x0 + fontHeight;
            trace.valueTextY = row.top;
            trace.valueTextPlaced = true;
            painter.text(valueText(trace.currentValue), trace.valueTextX, trace.valueTextY);
        }
    }
}

void Graph::updateValueTexts() {
    std::unique_ptr<Painter> screen;
    const double fontHeight = server_.fontHeight();
    for (int i = 0; i < channelCount(); ++i) {
        const ChannelData& channel = graph_.channelList[static_cast<size_t>(i)];
        if (!channel.displayTextValue)
            continue;
        const ChannelTrace& trace = traces_[static_cast<size_t>(i)];
        // Until the graph has been painted the text has no place yet.
        if (trace.valueTextPlaced) {
            if (!screen)
                screen = server_.screenPainter();
            // The whole line of the old text is cleared: a box shorter than the font's height
            // leaves the lower part of the old digits under the new ones.
            screen->clip(trace.valueTextX, trace.valueTextY, trace.valueTextX + valueBoxWidth,
                         trace.valueTextY + fontHeight);
            screen->clear();
            screen->resetClip();
            screen->useTextFont();
            screen->text(valueText(trace.currentValue), trace.valueTextX, trace.valueTextY);
        }
        if (valueCallback_)
            valueCallback_(channel.caption, trace.currentValue);
    }
}

void Graph::setValueCallback(ValueCallback callback) {
    valueCallback_ = std::move(callback);
}
