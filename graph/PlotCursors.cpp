#include "graph/PlotCursors.h"

#include "graph/NumberText.h"
#include "graph/Painter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Dark grey: clear of every palette colour and of the grid.
constexpr int cursorColour = 0x505050;

// Pixel distance from x to a cursor's line; infinite for a cursor that is not set.
double distanceTo(const std::optional<double>& cursor, const PlotFrame& frame, double x) {
    return cursor ? std::fabs(frame.x(*cursor) - x) : std::numeric_limits<double>::infinity();
}

std::string readoutNumber(double value) {
    return std::isfinite(value) ? valueText(value) : "-";
}

} // namespace

bool pressCursor(CursorPair& cursors, const PlotFrame& frame, double x) {
    const double value = frame.xValue(x);
    const double toFirst = distanceTo(cursors.first, frame, x);
    const double toSecond = distanceTo(cursors.second, frame, x);
    bool first;
    if (std::min(toFirst, toSecond) <= cursorGrabDistance)
        first = toFirst <= toSecond;
    else if (!cursors.first || !cursors.second)
        first = !cursors.first;
    else
        first = toFirst <= toSecond;
    (first ? cursors.first : cursors.second) = value;
    return first;
}

double interpolatedSample(const double* samples, int count, double index) {
    if (!(index >= 0.0 && index <= count - 1.0))
        return std::numeric_limits<double>::quiet_NaN();
    const int below = std::min(static_cast<int>(index), count - 1);
    if (below == count - 1)
        return samples[below];
    const double share = index - below;
    return samples[below] + share * (samples[below + 1] - samples[below]);
}

std::vector<ReadoutLine> cursorPositionLines(const CursorPair& cursors, const std::string& name,
                                             const std::string& unit,
                                             const std::string& inverseUnit) {
    std::vector<ReadoutLine> lines;
    if (cursors.first)
        lines.push_back({name + "1 " + valueText(*cursors.first) + " " + unit});
    if (cursors.second)
        lines.push_back({name + "2 " + valueText(*cursors.second) + " " + unit});
    if (cursors.both()) {
        const double distance = *cursors.second - *cursors.first;
        lines.push_back({name + "2-" + name + "1 " + valueText(distance) + " " + unit});
        if (!inverseUnit.empty() && distance != 0.0)
            lines.push_back({"1/(" + name + "2-" + name + "1) " + valueText(1.0 / distance) + " " +
                             inverseUnit});
    }
    return lines;
}

ReadoutLine channelReadoutLine(const CursorPair& cursors, double first, double second,
                               const std::string& unit, int colour) {
    std::string text;
    if (cursors.first)
        text = readoutNumber(first);
    if (cursors.second)
        text += (text.empty() ? "" : "  ") + readoutNumber(second);
    if (cursors.both())
        text += "  diff " + readoutNumber(second - first);
    return {text + " " + unit, colour};
}

void drawCursors(Painter& painter, const PlotFrame& frame, const CursorPair& cursors,
                 const std::vector<ReadoutLine>& readout, double fontHeight, double& boxWidth) {
    if (!cursors.any())
        return;
    painter.setPen(Pen{cursorColour, 1, true});
    for (const std::optional<double>& cursor : {cursors.first, cursors.second}) {
        if (!cursor)
            continue;
        const double x = std::round(frame.x(*cursor));
        if (x >= frame.p1.x && x <= frame.p2.x)
            painter.line(x, frame.p1.y, x, frame.p2.y + 1.0);
    }

    // The box: as many lines as the plot's height takes, right-aligned in the plot area.
    const double rowHeight = fontHeight + 2.0;
    const double pad = 3.0;
    const auto rows = static_cast<std::size_t>(
        std::max(0.0, std::floor((frame.p2.y - frame.p1.y - 2.0 * pad) / rowHeight)));
    const std::size_t shown = std::min(rows, readout.size());
    if (shown == 0)
        return;
    painter.useTextFont();
    double width = 0.0;
    for (std::size_t i = 0; i < shown; ++i)
        width = std::max(width, static_cast<double>(painter.textExtent(readout[i].text).width));
    const double square = fontHeight; // room for a channel's colour square
    const double right = frame.p2.x - 1.0;
    boxWidth = std::max(boxWidth, width + square + 2.0 * pad);
    const double left = std::max(frame.p1.x + 1.0, right - boxWidth);
    const double top = frame.p1.y + 1.0;
    painter.setPen(Pen{cursorColour, 1, true});
    painter.setBrush(Brush{whiteColour, true});
    painter.rectangle(left, top, right, top + shown * rowHeight + 2.0 * pad);
    painter.clip(left + 1.0, top + 1.0, right - 1.0, top + shown * rowHeight + 2.0 * pad - 1.0);
    for (std::size_t i = 0; i < shown; ++i) {
        const double rowTop = top + pad + i * rowHeight;
        if (readout[i].colour >= 0) {
            painter.setPen(Pen::none());
            painter.setBrush(Brush{readout[i].colour & 0xFFFFFF, true});
            painter.rectangle(left + pad, rowTop + 0.15 * fontHeight, left + pad + 0.7 * fontHeight,
                              rowTop + 0.85 * fontHeight);
        }
        painter.text(readout[i].text, left + pad + square, rowTop);
    }
    painter.resetClip();
}
