#include "diagview/LissajousView.h"
#include "diagview/QualityRows.h"
#include "graph/InstrumentServer.h"
#include "graph/Painter.h"
#include "signal/Inputs.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int nominalColour = 0x008000;   // green
constexpr int toleranceColour = 0x90D090; // light green
constexpr int fittedColour = 0xFF8000;    // orange
constexpr int pulseColour = 0xFF0000;     // red
constexpr int curveColour = 0x800080;     // purple
constexpr int circleSegments = 128;
constexpr double pulseMarkHalf = 3.0; // pixels

// The figures' label column and the column of their values, in text line heights.
constexpr double figureValueColumn = 8.0;
constexpr double figuresWidth = 17.0;

} // namespace

void LissajousView::draw(Painter& painter) {
    // A view too low for its figures is cut at its edge rather than drawing over the next one.
    painter.clip(x1_, y1_, x2_, y2_);
    painter.useTextFont();
    const double line = server_.fontHeight();
    const std::vector<std::string> names = inputNames(inputs_);
    const auto input = static_cast<std::size_t>(record_.lissajousInput);
    const std::string title = "Lissajous of " +
                              (input < names.size() ? names[input] : std::string("?")) + " in " +
                              record_.caption;
    painter.text(title, x1_ + line, y1_ + 0.25 * line);
    drawKey(painter, x1_ + 3.0 * line + painter.textExtent(title).width, y1_ + 0.25 * line);
    drawPlot(painter);
    painter.clip(x1_, y1_, x2_, y2_);
    drawFigures(painter);
    drawErrorCurve(painter);
    painter.resetClip();
}

void LissajousView::drawLivePicture() {
    const std::unique_ptr<Painter> screen = server_.screenPainter();
    drawPlot(*screen);
    server_.restoreHighlight(*screen);
}

void LissajousView::drawCircle(Painter& painter, double radius, double offsetA, double offsetB,
                               double amplitudeA, double amplitudeB, double phaseError) const {
    const Square s = square();
    const double reach = rasterRange_;
    double lastX = 0.0;
    double lastY = 0.0;
    for (int k = 0; k <= circleSegments; ++k) {
        const double phi = 2.0 * M_PI * k / circleSegments;
        const double a = offsetA + radius * amplitudeA * std::cos(phi);
        const double b = offsetB + radius * amplitudeB * std::sin(phi - phaseError);
        const double x = s.x(a, reach);
        const double y = s.y(b, reach);
        if (k > 0)
            painter.line(lastX, lastY, x, y);
        lastX = x;
        lastY = y;
    }
}

void LissajousView::drawPlot(Painter& painter) const {
    const Square s = square();
    if (s.side < 2.0)
        return;
    const double right = s.left + s.side;
    const double bottom = s.top + s.side;
    painter.setPen(Pen::none());
    painter.setBrush(Brush{whiteColour, true});
    painter.rectangle(s.left, s.top, right, bottom);
    painter.clip(s.left, s.top, right, bottom);

    painter.setPen(Pen{gridColour, 1, true});
    painter.line(s.left, s.top + s.side / 2.0, right, s.top + s.side / 2.0);
    painter.line(s.left + s.side / 2.0, s.top, s.left + s.side / 2.0, bottom);
    painter.setPen(Pen{toleranceColour, 1, true});
    drawCircle(painter, nominal() * (1.0 - tolerance()), 0.0, 0.0, 1.0, 1.0, 0.0);
    drawCircle(painter, nominal() * (1.0 + tolerance()), 0.0, 0.0, 1.0, 1.0, 0.0);
    painter.setPen(Pen{nominalColour, 1, true});
    drawCircle(painter, nominal(), 0.0, 0.0, 1.0, 1.0, 0.0);

    painter.setPen(Pen{colour_, 1, true});
    for (const LissajousRaster::Run& run : raster_.runs()) {
        const int y = pixel(s.top) + run.row;
        painter.drawLine(pixel(s.left) + run.first, y, pixel(s.left) + run.last + 1, y);
    }
    if (quality_.fit.succeeded()) {
        const HeydemannParameters& p = quality_.fit.parameters;
        painter.setPen(Pen{fittedColour, 1, true});
        drawCircle(painter, 1.0, p.offsetA, p.offsetB, p.amplitudeA, p.amplitudeB, p.phaseError);
    }
    painter.setPen(Pen{pulseColour, 1, true});
    painter.setBrush(Brush::none());
    for (std::size_t k = 0; k < pulseA_.size(); ++k) {
        const double x = s.x(pulseA_[k], rasterRange_);
        const double y = s.y(pulseB_[k], rasterRange_);
        painter.rectangle(x - pulseMarkHalf, y - pulseMarkHalf, x + pulseMarkHalf + 1.0,
                          y + pulseMarkHalf + 1.0);
    }
    painter.resetClip();

    painter.setPen(Pen{blackColour, 1, true});
    painter.setBrush(Brush::none());
    painter.rectangle(s.left, s.top, right + 1.0, bottom + 1.0);
    painter.useTextFont();
    const double line = server_.fontHeight();
    const std::string reach = figureText(rasterRange_, 2, "");
    painter.text("-" + reach, s.left, bottom + 0.2 * line);
    const TextSize reachSize = painter.textExtent(reach);
    painter.text(reach, right - reachSize.width, bottom + 0.2 * line);
    painter.text("A [V]", s.left + s.side / 2.0 - painter.textExtent("A [V]").width / 2.0,
                 bottom + 0.2 * line);
    painter.text(reach, s.left - reachSize.width - 0.3 * line, s.top);
    painter.text("B [V]", s.left - painter.textExtent("B [V]").width - 0.3 * line,
                 s.top + s.side / 2.0 - line / 2.0);
    painter.text("-" + reach, s.left - painter.textExtent("-" + reach).width - 0.3 * line,
                 bottom - line);
}

void LissajousView::drawFigures(Painter& painter) const {
    const Square s = square();
    const double line = server_.fontHeight();
    const double left = s.left + s.side + 2.0 * line;
    double top = s.top;
    painter.useTextFont();
    for (const QualityRow& row : sinCosRows(quality_)) {
        painter.text(row.label, left, top);
        painter.text(row.text, left + figureValueColumn * line, top);
        top += line;
    }
}

void LissajousView::drawKey(Painter& painter, double left, double top) const {
    const double line = server_.fontHeight();
    const double middle = top + line / 2.0;
    const std::string nominalText = "Nominal " + figureText(nominal(), 3, "V") + " \xB1 " +
                                    figureText(tolerance() * 100.0, 0, "%");
    painter.setPen(Pen{nominalColour, 1, true});
    painter.line(left, middle, left + line, middle);
    painter.text(nominalText, left + 1.5 * line, top);
    left += 3.0 * line + painter.textExtent(nominalText).width;
    painter.setPen(Pen{fittedColour, 1, true});
    painter.line(left, middle, left + line, middle);
    painter.text("Fitted ellipse", left + 1.5 * line, top);
    left += 3.0 * line + painter.textExtent("Fitted ellipse").width;
    painter.setPen(Pen{pulseColour, 1, true});
    painter.setBrush(Brush::none());
    painter.rectangle(left + line / 2.0 - pulseMarkHalf, middle - pulseMarkHalf,
                      left + line / 2.0 + pulseMarkHalf + 1.0, middle + pulseMarkHalf + 1.0);
    painter.text("Reference pulse R", left + 1.5 * line, top);
}

void LissajousView::drawErrorCurve(Painter& painter) const {
    const Square s = square();
    const double line = server_.fontHeight();
    const double left = s.left + s.side + (2.0 + figuresWidth) * line + 4.0 * line;
    const double right = x2_ - line;
    const double top = s.top + line;
    const double bottom = s.top + s.side;
    if (right - left < 4.0 * line || bottom - top < 2.0 * line)
        return;
    painter.useTextFont();
    painter.text("Interpolation error over one period [periods]", left - 4.0 * line, s.top);
    painter.setPen(Pen::none());
    painter.setBrush(Brush{whiteColour, true});
    painter.rectangle(left, top, right, bottom);
    painter.setPen(Pen{gridColour, 1, true});
    const double middle = (top + bottom) / 2.0;
    painter.line(left, middle, right, middle);

    const std::vector<double>& curve = quality_.error.curve;
    double largest = 0.0;
    for (double value : curve)
        if (!std::isnan(value))
            largest = std::max(largest, std::fabs(value));
    // A flat curve still gets an axis: 1e-6 periods is far below what the box resolves.
    const double reach = std::max(largest * 1.1, 1e-6);
    painter.setPen(Pen{curveColour, 1, true});
    bool drawn = false;
    double lastX = 0.0;
    double lastY = 0.0;
    for (std::size_t k = 0; k < curve.size(); ++k) {
        if (std::isnan(curve[k])) {
            drawn = false;
            continue;
        }
        const double x = left + (right - left) * (k + 0.5) / static_cast<double>(curve.size());
        const double y = middle - (bottom - top) / 2.0 * curve[k] / reach;
        if (drawn)
            painter.line(lastX, lastY, x, y);
        lastX = x;
        lastY = y;
        drawn = true;
    }
    painter.setPen(Pen{blackColour, 1, true});
    painter.setBrush(Brush::none());
    painter.rectangle(left, top, right + 1.0, bottom + 1.0);
    const std::string high = figureText(reach, 5, "");
    painter.text(high, left - painter.textExtent(high).width - 0.3 * line, top);
    painter.text("-" + high, left - painter.textExtent("-" + high).width - 0.3 * line,
                 bottom - line);
    painter.text("0\xB0", left, bottom + 0.2 * line);
    painter.text("360\xB0", right - painter.textExtent("360\xB0").width, bottom + 0.2 * line);
}
