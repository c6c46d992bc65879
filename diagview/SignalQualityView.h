#pragma once

#include "KLib/Ref.h"
#include "config/Config.h"
#include "diagview/DiagnosticInstrument.h"
#include "diagview/QualityRows.h"
#include "files/DiagnosticRecord.h"
#include "graph/Graph.h"

#include <string>
#include <vector>

class InstrumentServer;
class LissajousView;
class Painter;

// The signal-quality table of a time graph's inputs, drawn below it: per SinCos input the
// ellipse fit's figures, per HTL/TTL input the timing of A and B, and for each SSI position
// shown beside an incremental position of the same unit their difference over the window.
class SignalQualityView : public DiagnosticInstrument {
public:
    // The server and both records must outlive the view; it keeps the graph alive.
    SignalQualityView(InstrumentServer& server, const InputSettings& inputs, GraphData& record,
                      const KLib::Ref<Graph>& source);

    // Measures the graph's data window again. The graph's Lissajous view, when it has just
    // measured its input, lends its figures instead of a second fit of the same samples.
    void update(const LissajousView* measured = nullptr);
    // One block of the table: a heading and its lines.
    struct Block {
        std::string heading;
        std::string fieldPrefix; // before each field name in a data file
        std::vector<QualityRow> rows;
    };
    const std::vector<Block>& blocks() const { return blocks_; }
    DiagnosticRecord diagnosticRecord() const;

    void draw(Painter& painter) override;

private:
    const double* samples(int channel) const;
    Block sinCosBlock(int input, int index, int count, const LissajousView* measured) const;
    Block pulseBlock(int input) const;
    // An empty block headed by the input's name, its fields prefixed with its number.
    Block inputBlock(int input) const;

    const InputSettings& inputs_;
    GraphData& record_;
    std::vector<Block> blocks_;
};
