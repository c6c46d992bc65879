#include "diagview/SignalQualityView.h"

#include "diagview/DiagnosticChannels.h"
#include "diagview/LissajousView.h"
#include "diagview/WindowSamples.h"
#include "graph/InstrumentServer.h"
#include "graph/Painter.h"
#include "signal/Inputs.h"
#include "signal/Units.h"

#include <algorithm>
#include <cmath>

namespace {

// Widths in text line heights: a block's column, and the offset of the values in it.
constexpr double blockWidth = 24.0;
constexpr double valueColumn = 9.0;

} // namespace

SignalQualityView::SignalQualityView(InstrumentServer& server, const InputSettings& inputs,
                                     GraphData& record, const KLib::Ref<Graph>& source)
    : DiagnosticInstrument(server, source), inputs_(inputs), record_(record) {}

const double* SignalQualityView::samples(int channel) const {
    const auto& traces = source_->traces();
    if (channel < 0 || static_cast<std::size_t>(channel) >= traces.size())
        return nullptr;
    return traces[static_cast<std::size_t>(channel)].samples.data();
}

SignalQualityView::Block SignalQualityView::inputBlock(int input) const {
    return Block{inputNames(inputs_)[static_cast<std::size_t>(input)],
                 "in" + std::to_string(input + 1) + "_",
                 {}};
}

SignalQualityView::Block SignalQualityView::sinCosBlock(int input, int index, int count,
                                                        const LissajousView* measured) const {
    Block block = inputBlock(input);
    const int a = plainChannel(record_, input, analogASignal);
    const int b = plainChannel(record_, input, analogBSignal);
    if (!samples(a) || !samples(b)) {
        block.rows.push_back({"Analog A and B are not in the graph", "", "", NAN});
        return block;
    }
    if (measured && record_.lissajous && record_.lissajousInput == input) {
        block.rows = sinCosRows(measured->quality());
        return block;
    }
    block.rows = sinCosRows(measureSinCosQuality(
        samples(a), samples(b), static_cast<std::size_t>(count),
        baseUnitsPerValue(record_.channelList[a]), baseUnitsPerValue(record_.channelList[b]),
        inputs_.sineInputs[static_cast<std::size_t>(index)].periods));
    return block;
}

SignalQualityView::Block SignalQualityView::pulseBlock(int input) const {
    Block block = inputBlock(input);
    const int a = plainChannel(record_, input, levelASignal);
    const int b = plainChannel(record_, input, levelBSignal);
    if (!samples(a) || !samples(b)) {
        block.rows.push_back({"A and B are not in the graph", "", "", NAN});
        return block;
    }
    const std::vector<double> levelsA = samplesInTimeOrder(*source_, a);
    const std::vector<double> levelsB = samplesInTimeOrder(*source_, b);
    block.rows = pulseRows(measurePulseTiming(levelsA.data(), levelsB.data(), levelsA.size(),
                                              1.0 / source_->timing().dt));
    return block;
}

void SignalQualityView::update(const LissajousView* measured) {
    blocks_.clear();
    const int count = source_->timing().highWater;
    for (int input : encoderInputs(inputs_, record_)) {
        const std::optional<InputLocation> where = locateInput(inputs_, input);
        if (where->kind == InputKind::SinCos)
            blocks_.push_back(sinCosBlock(input, where->index, count, measured));
        else if (where->kind == InputKind::HtlTtl)
            blocks_.push_back(pulseBlock(input));
    }
    int pairNumber = 0;
    for (const PositionPair& pair : positionPairs(inputs_, record_)) {
        const ChannelData& ssi = record_.channelList[pair.ssi];
        const ChannelData& incremental = record_.channelList[pair.incremental];
        ++pairNumber;
        Block block{"Difference " + ssi.caption + " - " + incremental.caption, "", {}};
        PositionDrift drift;
        if (samples(pair.ssi) && samples(pair.incremental)) {
            // In time order, so that the last difference is the newest.
            const std::vector<double> absolute = samplesInTimeOrder(*source_, pair.ssi);
            const std::vector<double> counted = samplesInTimeOrder(*source_, pair.incremental);
            drift = positionDrift(absolute.data(), counted.data(), absolute.size());
        }
        // Turns or a plain number ("1") show without a unit.
        const std::string unit = ssi.unit == unitIndex("1") ? "" : unitName(ssi.unit);
        block.rows = driftRows(drift, unit, "diff" + std::to_string(pairNumber) + "_");
        blocks_.push_back(block);
    }
}

DiagnosticRecord SignalQualityView::diagnosticRecord() const {
    DiagnosticRecord record{record_.caption, "signal quality", {}};
    for (const Block& block : blocks_)
        for (const QualityRow& row : block.rows)
            if (!row.field.empty())
                record.figures.push_back({block.fieldPrefix + row.field, row.value});
    return record;
}

void SignalQualityView::draw(Painter& painter) {
    painter.useTextFont();
    const double line = server_.fontHeight();
    painter.text("Signal quality of " + record_.caption, x1_ + line, y1_ + 0.25 * line);
    if (blocks_.empty()) {
        painter.text("No SinCos or HTL/TTL input, and no SSI position beside an incremental one, "
                     "in this graph",
                     x1_ + line, y1_ + 1.75 * line);
        return;
    }
    // Blocks run down a column and on into the next one.
    const double top = y1_ + 1.75 * line;
    double left = x1_ + line;
    double y = top;
    for (const Block& block : blocks_) {
        const double height = (static_cast<double>(block.rows.size()) + 1.5) * line;
        if (y > top && y + height > y2_) {
            left += blockWidth * line;
            y = top;
        }
        painter.setPen(Pen{blackColour, 1, true});
        painter.text(block.heading, left, y);
        painter.line(left, y + line, left + (blockWidth - 1.0) * line, y + line);
        y += 1.2 * line;
        for (const QualityRow& row : block.rows) {
            painter.text(row.label, left, y);
            painter.text(row.text, left + valueColumn * line, y);
            y += line;
        }
        y += 0.3 * line;
    }
}
