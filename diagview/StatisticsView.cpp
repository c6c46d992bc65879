#include "diagview/StatisticsView.h"

#include "graph/InstrumentServer.h"
#include "graph/LegendEntry.h"
#include "graph/NumberText.h"
#include "graph/Painter.h"
#include "signal/Units.h"

#include <cmath>

namespace {

// Widths in text line heights: the channel column and each figure's column.
constexpr double channelWidth = 10.0;
constexpr double figureWidth = 6.5;

constexpr const char* headings[] = {"Minimum", "Maximum", "Peak-peak",  "Mean",
                                    "RMS",     "Std dev", "Substitutes"};

std::string figure(double value) {
    return std::isfinite(value) ? valueText(value) : "-";
}

} // namespace

StatisticsView::StatisticsView(InstrumentServer& server, GraphData& record,
                               const KLib::Ref<Graph>& source)
    : DiagnosticInstrument(server, source), record_(record) {}

void StatisticsView::update() {
    const std::vector<SampleSpan> spans = source_->statisticsSpans();
    const std::vector<ChannelTrace>& traces = source_->traces();
    rows_.clear();
    for (std::size_t c = 0; c < record_.channelList.size() && c < traces.size(); ++c) {
        const ChannelData& channel = record_.channelList[c];
        Row row{channel.caption, unitName(channel.unit), channel.color, {}};
        for (const SampleSpan& span : spans)
            row.figures.add(traces[c].samples.data(), traces[c].envelope, span);
        rows_.push_back(row);
    }
    substitutes_ = 0;
    count_ = 0;
    for (const SampleSpan& span : spans) {
        substitutes_ += source_->substitutes().countIn(span.first, span.last);
        count_ += span.last - span.first;
    }
    const double dt = source_->timing().dt;
    from_ = spans.empty() ? 0.0 : spans.front().first * dt;
    to_ = spans.empty() ? 0.0 : (spans.back().last - 1) * dt;
}

void StatisticsView::updateValueTexts() {
    repaint();
}

void StatisticsView::draw(Painter& painter) {
    update();
    painter.useTextFont();
    const double line = server_.fontHeight();
    const double left = x1_ + line;
    double y = y1_ + 0.25 * line;
    const std::string span = record_.cursors.both() ? " between the cursors" : " on screen";
    std::string title = "Statistics of " + record_.caption + span;
    if (count_ > 0)
        title += ", " + valueText(from_) + " s to " + valueText(to_) + " s, " +
                 std::to_string(count_) + " samples";
    painter.text(title, left, y);
    y += 1.5 * line;
    if (rows_.empty()) {
        painter.text("No channels in this graph", left, y);
        return;
    }
    double x = left + channelWidth * line;
    for (const char* heading : headings) {
        painter.text(heading, x, y);
        x += figureWidth * line;
    }
    painter.setPen(Pen{blackColour, 1, true});
    painter.line(left, y + line, x, y + line);
    y += 1.2 * line;
    for (const Row& row : rows_) {
        if (y + line > y2_)
            break;
        drawLegendEntry(painter, left, y, line, row.colour, row.caption + " [" + row.unit + "]",
                        left + (channelWidth - 0.5) * line);
        const SpanStatistics& f = row.figures;
        const std::string texts[] = {figure(f.minimum()),
                                     figure(f.maximum()),
                                     figure(f.maximum() - f.minimum()),
                                     figure(f.mean()),
                                     figure(f.rms()),
                                     figure(f.deviation()),
                                     std::to_string(substitutes_)};
        x = left + channelWidth * line;
        for (const std::string& text : texts) {
            painter.text(text, x, y);
            x += figureWidth * line;
        }
        y += line + 2.0;
    }
}
