#pragma once

#include "control/GraphBoard.h"
#include "control/GraphEditing.h"
#include "diagview/LissajousView.h"
#include "diagview/SignalQualityView.h"
#include "diagview/StatisticsView.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

#include <chrono>
#include <vector>

// The graph board of the main window: one graph instrument per graph of the configuration,
// kept by the graph panel's instrument server.
class InstrumentGraphBoard : public GraphBoard {
public:
    // The server of the graph panel, which exists only once the window has built it; every
    // other call needs it.
    void attach(InstrumentServer& server) { server_ = &server; }
    // Receives every value text of every graph, with its channel caption.
    void setValueCallback(Instrument::ValueCallback callback) {
        valueCallback_ = std::move(callback);
    }

    void recreate(Config& config) override;
    // The instruments of the record at `index` of the graph list, just inserted there, between
    // those of its neighbours; the other graphs keep their samples and axes.
    void insertGraph(Config& config, int index);
    // Takes the instruments of graph `index` off the panel, before its record is erased.
    void removeGraph(int index);
    // Gives graph `index` an FFT view right below it, with its X axis fitted and its values
    // scaled to the spectra.
    void addFFTView(int index);
    void removeFFTView(int index);
    // After the FFT settings of graph `index` changed: the view takes them, the time graph's
    // X axis is fitted (the spectra follow it) and the view is scaled to the new spectra.
    void refitFFTView(int index);
    // Diagnostic views of graph `index` as its record asks, placed below its other views; a
    // view the record no longer asks for goes.
    void placeDiagnosticViews(int index);
    // After the settings of graph `index`'s Lissajous view changed.
    void redrawDiagnosticViews(int index);
    // The graph and the kind of a diagnostic view on the panel; graph -1 for anything else.
    std::pair<int, DiagnosticView> diagnosticViewOf(const Instrument* instrument) const;
    void updateDiagnostics(bool final) override;
    std::vector<DiagnosticRecord> diagnosticRecords() const override;
    void rebuildAll() override;
    void setLineWidth(int pixels) override { server_->setLineWidth(pixels); }
    void restartAll() override;
    bool anyOutOfRange() override;
    std::vector<SampleTarget*> targets() override;
    void holdLiveDrawing(bool hold) override;
    void refresh() override { server_->refresh(); }
    void fitAll() override;
    void autoScaleAll() override;
    GraphTiming timing(int graph) const override;
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override;

    const std::vector<KLib::Ref<Graph>>& graphs() const { return graphs_; }
    // The time graph at `index`, or null.
    Graph* graphAt(int index) const;
    // The FFT views of the graphs that have one, in graph order; the panel keeps them.
    std::vector<FFTGraph*> fftViews() const;

private:
    // Makes the instruments of the record at `index` (its time graph, and its FFT view when
    // the record asks for one) and puts them on the panel above those of graph `index`, which
    // moves down; not yet rebuilt.
    Graph& placeGraph(Config& config, int index);
    // The instrument right below graph `index` and its view: the next graph's, or none.
    Instrument* instrumentAfter(std::size_t index) const;

    // The diagnostic views of one graph; null where it has none.
    struct DiagnosticViews {
        KLib::Ref<LissajousView> lissajous;
        KLib::Ref<SignalQualityView> quality;
        KLib::Ref<StatisticsView> statistics;
    };
    void removeDiagnosticViews(int index);

    InstrumentServer* server_ = nullptr;
    const InputSettings* inputs_ = nullptr; // of the configuration last recreated
    std::vector<KLib::Ref<Graph>> graphs_;
    std::vector<DiagnosticViews> diagnostics_; // parallel to graphs_
    std::chrono::steady_clock::time_point pictureTaken_;
    std::chrono::steady_clock::time_point figuresTaken_;
    Instrument::ValueCallback valueCallback_;
};
