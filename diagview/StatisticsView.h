#pragma once

#include "KLib/Ref.h"
#include "diagview/DiagnosticInstrument.h"
#include "graph/Graph.h"
#include "graph/SpanStatistics.h"

#include <cstdint>
#include <string>
#include <vector>

class InstrumentServer;
class Painter;

// The table below a time graph of each channel's statistics over the samples on screen (or
// between the cursors when both are set): minimum, maximum, peak-to-peak, mean, RMS, standard
// deviation and the substitutes for lost frames among them. Measured whenever it is drawn,
// which the value timer asks for while recording.
class StatisticsView : public DiagnosticInstrument {
public:
    // The server and the record must outlive the view; it keeps the graph alive.
    StatisticsView(InstrumentServer& server, GraphData& record, const KLib::Ref<Graph>& source);

    struct Row {
        std::string caption;
        std::string unit;
        int colour = 0; // 0xRRGGBB
        SpanStatistics figures;
    };
    // Measures the graph again.
    void update();
    const std::vector<Row>& rows() const { return rows_; }
    // Substitutes for lost frames among the samples measured, the same for every channel.
    std::int64_t substitutes() const { return substitutes_; }
    // The span measured, s from the start of the data window; both 0 without samples.
    double from() const { return from_; }
    double to() const { return to_; }

    void draw(Painter& painter) override;
    // Measures and repaints at the value timer's pace.
    void updateValueTexts() override;

private:
    GraphData& record_;
    std::vector<Row> rows_;
    std::int64_t substitutes_ = 0;
    double from_ = 0.0;
    double to_ = 0.0;
    std::int64_t count_ = 0; // samples measured per channel
};
