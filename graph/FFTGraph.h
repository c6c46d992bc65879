#pragma once

#include "KLib/Ref.h"
#include "config/Config.h"
#include "fft/SpectrumAnalyser.h"
#include "fft/SpectrumWorker.h"
#include "graph/PlotAxes.h"
#include "graph/PlotFrame.h"
#include "graph/PlotInstrument.h"

#include <vector>

class Graph;
class InstrumentServer;
class Painter;

// The FFT view of a time graph, drawn below it: per channel the amplitude spectrum (linear or in
// dB) of the part of the graph's data window that is visible in the graph, with the graph's
// frequency regions marked green (pass) or red (fail). Its axes are the record's fft* fields.
class FFTGraph : public PlotInstrument {
public:
    // The server and the record must outlive the view.
    FFTGraph(InstrumentServer& server, GraphData& graph);
    ~FFTGraph() override;
    FFTGraph(const FFTGraph&) = delete;
    FFTGraph& operator=(const FFTGraph&) = delete;

    // The time graph analysed; the view keeps it alive. Null unlinks.
    void setSource(const KLib::Ref<Graph>& source);
    Graph* source() const { return source_.get(); }

    // Instrument
    void setViewport(double x1, double y1, double x2, double y2) override;
    void draw(Painter& painter) override;
    HitResult hitTest(double x, double y) const override;
    void fitX() override;
    bool autoScaleY() override;
    void setXAxis(bool isFFT, double scaleX, double offsetX) override;
    void updateValueTexts() override {}
    void setValueCallback(ValueCallback) override {}
    void setCursors(bool isFFT, const CursorPair& cursors) override;

    // Spectrum edits that follow the record's channel list: a new channel has no spectrum
    // until the next computation.
    void insertChannel(int index);
    void removeChannel(int index);
    // Re-reads the settings and forgets the window set-up, then takes the range again.
    void rebuild();
    // The analysed samples from the source's visible part of its data window.
    void setupRange();
    // Starts the spectra of every channel from the source's samples, and the region checks, on
    // the view's worker: the samples are copied, the transforms run there. The view shows the
    // newest finished spectra when they are collected (takeFinishedWork), and repaints then.
    // Eight channels of a million samples are 64 MB, too much to copy at once without holding
    // the window up: the copy goes on a slice at a time, each time the work is collected, and
    // the job is submitted when it is complete.
    void computeSpectra();
    // The source is about to write its samples before index `end` (exclusive, of its window):
    // those of them still to be copied are copied first, so that the spectra are of the samples
    // as they were when computeSpectra() was called.
    void keepAnalysedSamples(int end);
    // True while the samples of a computation are still being copied.
    bool copying() const { return copy_.active; }
    // Copies what is left, waits for the spectra being computed and takes them.
    void finishSpectra();
    // Copies the next slice of the samples, and takes the newest finished spectra.
    void takeFinishedWork() override;

    // In the source's background: shades the visible samples right of the analysed ones in the
    // rows top ... bottom (pixels). source is the source's frame.
    void drawShading(Painter& painter, const PlotFrame& source, double top, double bottom) const;

    const AnalysisRange& range() const { return range_; }
    // Per channel, transformLength / 2 + 1 bins; bin j is j / (transformLength * dt) Hz.
    const std::vector<std::vector<double>>& spectra() const { return spectra_; }
    // Per region of the record, 1 = pass, 0 = fail.
    const std::vector<int>& regionPass() const { return regionPass_; }
    PlotFrame frame() const;

private:
    Point& scale() const { return graph_.fftScale; }
    Point& offset() const { return graph_.fftOffset; }
    Point& p1() const { return graph_.fftGraphP1; }
    Point& p2() const { return graph_.fftGraphP2; }
    PlotAxes axes() const override { return PlotAxes{scale(), offset(), p1(), p2()}; }
    // Seconds per sample of the source, 1 without one.
    double dt() const;
    int channelCount() const;
    // Sets the X axis to run from 0 Hz to just below the Nyquist frequency; no broadcast.
    void fitXAxis();
    void broadcastXAxis() override;
    CursorPair& cursors() const override { return graph_.fftCursors; }
    void broadcastCursors() override;
    void drawCursorReadout(Painter& painter) const;

    // Copies the analysed samples up to `end` (counted from the first analysed one), and
    // submits the job when all of them are copied.
    void copyAnalysed(std::size_t end);
    // Copies one more slice; while samples are left, asks for the next one.
    void copyNextSlice();
    // Values per channel in one slice of the copy.
    std::size_t copySlice() const;

    void drawBackground(Painter& painter) const;
    void drawRegions(Painter& painter) const;
    void drawCurves(Painter& painter) const;
    void drawLegend(Painter& painter) const;

    InstrumentServer& server_;
    GraphData& graph_;
    KLib::Ref<Graph> source_;
    double x1_ = 0.0; // viewport, panel pixels
    double y1_ = 0.0;
    double x2_ = 0.0;
    double y2_ = 0.0;
    FftSettings settings_;
    AnalysisRange range_;
    SpectrumAnalyser analyser_; // sets the transform length up; the worker transforms
    std::vector<std::vector<double>> spectra_;
    std::vector<int> regionPass_;
    // Counts the changes of the channels and bins the spectra belong to: a result computed for
    // an earlier layout is dropped.
    std::uint64_t layout_ = 0;
    // The copy of the analysed samples into job_, while it is not complete.
    struct AnalysedCopy {
        bool active = false;
        int start = 0;          // the first analysed sample of the source's window
        std::size_t length = 0; // analysed samples per channel
        std::size_t copied = 0; // of them, copied into job_ so far
    };
    AnalysedCopy copy_;
    SpectrumJob job_;       // filled here, then swapped with the worker's
    SpectrumResult result_; // swapped with the worker's newest
    SpectrumWorker worker_; // last: its thread ends before the members it reads go
};
