#pragma once

#include "acquisition/SampleTarget.h"
#include "config/Config.h"
#include "graph/CurvePlotter.h"
#include "graph/PlotAxes.h"
#include "graph/PlotFrame.h"
#include "graph/PlotInstrument.h"
#include "graph/SampleEnvelope.h"
#include "graph/SpanStatistics.h"
#include "graph/SubstituteMarks.h"

#include <vector>

class FFTGraph;
class InstrumentServer;
class Painter;

// The data and display state of one channel of a graph.
struct ChannelTrace {
    // capacity + 1 values: the element after the newest appended value repeats it.
    std::vector<double> samples;
    // Min/max summaries of all of samples, kept up to date with every change of them.
    SampleEnvelope envelope;
    // The range of the values appended since the last rebuild.
    double observedMin = 1e200;
    double observedMax = -1e200;
    double currentValue = 0.0;
    // Where draw() placed the value text, panel pixels.
    double valueTextX = 0.0;
    double valueTextY = 0.0;
    bool valueTextPlaced = false;
};

struct GraphTiming {
    double dt = 0.0;   // seconds per sample
    int highWater = 0; // samples held
};

// One graph of the configuration as a time graph: the channels' samples over a data window of
// `capacity` samples, written from the left by sweeps. New samples are drawn as they arrive,
// with a gap of one tenth of the window running ahead of them.
class Graph : public PlotInstrument, public SampleTarget {
public:
    // The server and both records must outlive the graph.
    Graph(InstrumentServer& server, const InputSettings& inputs, GraphData& graph);

    // Instrument
    void setViewport(double x1, double y1, double x2, double y2) override;
    void draw(Painter& painter) override;
    HitResult hitTest(double x, double y) const override;
    void fitX() override;
    bool autoScaleY() override;
    void setXAxis(bool isFFT, double scaleX, double offsetX) override;
    void updateValueTexts() override;
    void setValueCallback(ValueCallback callback) override;
    void setCursors(bool isFFT, const CursorPair& cursors) override;

    // Trace edits that follow the record's channel list, passed on to the FFT view; rebuild()
    // comes afterwards.
    void removeChannel(int index);
    void insertChannel(int index);
    // Re-reads rate, display time and channel list; starts an empty sweep.
    void rebuild();
    // The next sweep starts at the left; samples and observed ranges stay.
    void restart();
    // While held, the new pieces of the curves are drawn together when the hold ends rather
    // than after every chunk: a delivery of 100 ms at 500 kS/s holds a dozen chunks, and each
    // live drawing clears and redraws its strip of the screen.
    void holdLiveDrawing();
    void releaseLiveDrawing();

    // SampleTarget: values beyond the window's end are dropped until restart().
    void appendSamples(int channel, const double* values, int count) override;
    bool advance(int count) override;
    // Marks where the chunk's substitutes stand in the window.
    void framesLost(int atValue, std::int64_t frames, int substitutes) override;

    GraphTiming timing() const;
    // Copies up to `count` samples of the channel's current sweep, from index `from` up to where
    // the sweep got; returns how many. A rebuild at the same rate keeps the sweep's samples.
    int copySamples(int channel, int from, double* destination, int count) const;
    // True when the record asks to stop on out-of-range values and a channel went beyond
    // its limits since the last rebuild.
    bool isOutOfRange() const;

    GraphData& record() const { return graph_; }
    int capacity() const { return capacity_; }
    int writeIndex() const { return writeIndex_; }
    const std::vector<ChannelTrace>& traces() const { return traces_; }
    // Where the window holds substitutes for lost frames.
    const SubstituteMarks& substitutes() const { return substitutes_; }
    // The samples that statistics of the graph cover: those between the cursors when both are
    // set, else those between the X limits; of them only samples the window has held, and not
    // the gap ahead of the newest sample, which is not drawn.
    std::vector<SampleSpan> statisticsSpans() const;
    PlotFrame frame() const;

    // The FFT view analysing the visible part of this graph: it takes a new range when the X axis
    // changes and new spectra when the window fills. Null: none. The view unlinks itself when
    // it goes.
    void setFFTView(FFTGraph* view) { fftView_ = view; }
    FFTGraph* fftView() const { return fftView_; }

private:
    struct Viewport {
        double x1 = 0.0;
        double y1 = 0.0;
        double x2 = 0.0;
        double y2 = 0.0;
    };
    // One row of the legend, from the top of the viewport.
    struct LegendRow {
        double top = 0.0;
        int channel = -1; // -1: the "click here" row
        bool valueRow = false;
    };

    // The axis state of the view, kept in the graph record.
    Point& scale() const { return graph_.scale; }
    Point& offset() const { return graph_.offset; }
    Point& p1() const { return graph_.graphP1; }
    Point& p2() const { return graph_.graphP2; }
    PlotAxes axes() const override { return PlotAxes{scale(), offset(), p1(), p2()}; }
    void broadcastXAxis() override;
    CursorPair& cursors() const override { return graph_.cursors; }
    void broadcastCursors() override;
    // The cursor lines and the readout of the positions and each channel's values there.
    void drawCursorReadout(Painter& painter);
    // New range and spectra for the FFT view after an X axis change.
    void analyseVisibleRange();

    // Channels with both a record and a trace.
    int channelCount() const;
    double rowHeight() const;
    std::vector<LegendRow> legendRows() const;

    void drawBackground(Painter& painter, bool labels) const;
    void drawCurves(Painter& painter, double t0, double t1,
                    FirstColumn first = FirstColumn::FromItsTime) const;
    void drawLegend(Painter& painter);
    void drawRangeBars(Painter& painter) const;
    void drawLive(int from);

    InstrumentServer& server_;
    const InputSettings& inputs_;
    GraphData& graph_;
    Viewport viewport_;
    int capacity_ = 0;
    bool liveHeld_ = false;
    int heldFrom_ = -1; // the write position the held pieces start at; -1 when none
    double dt_ = 1.0;
    int writeIndex_ = 0;
    int highWater_ = 0;
    // The samples from the left that belong to the current sweep: the write position, or where
    // the sweep had got before a rebuild restarted the write position.
    int dataEnd_ = 0;
    std::vector<ChannelTrace> traces_;
    SubstituteMarks substitutes_;
    // Losses told for the chunk being appended; marked when it is committed.
    struct PendingLoss {
        int atValue = 0;
        int substitutes = 0;
    };
    std::vector<PendingLoss> pendingLosses_;
    ValueCallback valueCallback_;
    FFTGraph* fftView_ = nullptr;
    // Pixels, of the cursor readout drawn since the last whole drawing.
    double readoutWidth_ = 0.0;
};
