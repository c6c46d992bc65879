#include "diagview/LissajousView.h"

#include "diagview/DiagnosticChannels.h"
#include "diagview/QualityRows.h"
#include "graph/InstrumentServer.h"
#include "signal/Inputs.h"

#include <algorithm>
#include <cmath>

namespace {

// Space around the plot square, in text lines: a title line above, axis labels below and left.
constexpr double titleLines = 1.5;
constexpr double labelColumns = 4.0;
// The axes reach this much beyond the tolerance ring (or the fitted ellipse).
constexpr double rangeMargin = 1.15;
// More reference pulses than this in a window are not all marked: they would hide the ellipse.
constexpr std::size_t pulseMarkLimit = 64;

} // namespace

LissajousView::LissajousView(InstrumentServer& server, const InputSettings& inputs,
                             GraphData& record, const KLib::Ref<Graph>& source)
    : DiagnosticInstrument(server, source), inputs_(inputs), record_(record) {}

LissajousView::Channels LissajousView::channels() const {
    const int input = record_.lissajousInput;
    return Channels{plainChannel(record_, input, analogASignal),
                    plainChannel(record_, input, analogBSignal),
                    plainChannel(record_, input, referencePulseSignal)};
}

double LissajousView::nominal() const {
    const double volts = leadingNumber(record_.lissajousNominal);
    return volts > 0.0 ? volts : 0.5;
}

double LissajousView::tolerance() const {
    return std::min(std::max(leadingNumber(record_.lissajousTolerance), 0.0), 99.0) / 100.0;
}

double LissajousView::range() const {
    double reach = nominal() * (1.0 + tolerance());
    if (quality_.fit.succeeded()) {
        const HeydemannParameters& p = quality_.fit.parameters;
        reach = std::max(
            {reach, std::fabs(p.offsetA) + p.amplitudeA, std::fabs(p.offsetB) + p.amplitudeB});
    }
    // A round figure: the axes keep their labels, and the picture its scale from one update to
    // the next, while the fitted ellipse wanders by a few microvolts.
    const double decade = std::pow(10.0, std::floor(std::log10(reach * rangeMargin)));
    for (double step : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0})
        if (step * decade >= reach * rangeMargin)
            return step * decade;
    return 10.0 * decade;
}

LissajousView::Square LissajousView::square() const {
    const double line = server_.fontHeight();
    Square s;
    s.left = x1_ + labelColumns * line;
    s.top = y1_ + titleLines * line;
    s.side = std::max(0.0, std::min(y2_ - s.top - 2.0 * line, (x2_ - x1_) / 3.0));
    return s;
}

void LissajousView::findReferencePulses(const double* r, const double* a, const double* b,
                                        int count, double toVoltsA, double toVoltsB) {
    pulseA_.clear();
    pulseB_.clear();
    if (!r)
        return;
    for (int i = 1; i < count && pulseA_.size() < pulseMarkLimit; ++i)
        if (r[i] > 0.5 && !(r[i - 1] > 0.5)) {
            pulseA_.push_back(a[i] * toVoltsA);
            pulseB_.push_back(b[i] * toVoltsB);
        }
}

void LissajousView::update(bool figures) {
    const Channels found = channels();
    const int traceCount = static_cast<int>(source_->traces().size());
    if (found.a < 0 || found.b < 0 || found.a >= traceCount || found.b >= traceCount ||
        found.r >= traceCount) {
        quality_ = SinCosQuality{};
        raster_.fill(nullptr, nullptr, 0, 1.0, 1.0, 1.0, 0);
        pulseA_.clear();
        pulseB_.clear();
        return;
    }
    const int count = source_->timing().highWater;
    const auto& traces = source_->traces();
    const double* a = traces[static_cast<std::size_t>(found.a)].samples.data();
    const double* b = traces[static_cast<std::size_t>(found.b)].samples.data();
    const double toVoltsA = baseUnitsPerValue(record_.channelList[found.a]);
    const double toVoltsB = baseUnitsPerValue(record_.channelList[found.b]);
    colour_ = record_.channelList[found.a].color;
    if (figures) {
        const std::optional<InputLocation> where = locateInput(inputs_, record_.lissajousInput);
        const double periods =
            where && where->kind == InputKind::SinCos
                ? inputs_.sineInputs[static_cast<std::size_t>(where->index)].periods
                : 1.0;
        quality_ = measureSinCosQuality(a, b, static_cast<std::size_t>(count), toVoltsA, toVoltsB,
                                        periods);
        findReferencePulses(found.r < 0 ? nullptr
                                        : traces[static_cast<std::size_t>(found.r)].samples.data(),
                            a, b, count, toVoltsA, toVoltsB);
    }
    // Between the figures' updates only the samples the sweep wrote since are marked: a
    // picture of a whole window at 500 kS/s costs 1.3 ms, of a tenth of it a tenth of that.
    // Overwritten samples stay marked until the next whole picture, at most 500 ms later.
    const int written = source_->writeIndex();
    const int side = static_cast<int>(square().side);
    const double reach = range();
    if (figures || reach != rasterRange_ || side != raster_.size() || written < rasterWritten_ ||
        count < rasterWritten_) {
        rasterRange_ = reach;
        raster_.fill(a, b, static_cast<std::size_t>(count), toVoltsA, toVoltsB, rasterRange_, side);
    } else {
        raster_.add(a + rasterWritten_, b + rasterWritten_,
                    static_cast<std::size_t>(written - rasterWritten_), toVoltsA, toVoltsB,
                    rasterRange_);
    }
    rasterWritten_ = written;
}

DiagnosticRecord LissajousView::diagnosticRecord() const {
    DiagnosticRecord record{record_.caption, "lissajous", {}};
    record.figures.push_back({"input", static_cast<double>(record_.lissajousInput + 1)});
    for (const QualityRow& row : sinCosRows(quality_))
        if (!row.field.empty())
            record.figures.push_back({row.field, row.value});
    return record;
}

void LissajousView::setViewport(double x1, double y1, double x2, double y2) {
    DiagnosticInstrument::setViewport(x1, y1, x2, y2);
    // The picture is taken anew when the plot square changed size.
    update(false);
}
