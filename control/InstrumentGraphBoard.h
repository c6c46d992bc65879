#pragma once

#include "control/GraphBoard.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

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
    void rebuildAll() override;
    void setLineWidth(int pixels) override { server_->setLineWidth(pixels); }
    void restartAll() override;
    bool anyOutOfRange() override;
    std::vector<SampleTarget*> targets() override;
    void refresh() override { server_->refresh(); }
    void fitAll() override;
    void autoScaleAll() override;
    GraphTiming timing(int graph) const override;
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override;

    const std::vector<KLib::Ref<Graph>>& graphs() const { return graphs_; }
    // The FFT views of the graphs with FFT set, in graph order.
    const std::vector<KLib::Ref<FFTGraph>>& fftViews() const { return fftViews_; }

private:
    InstrumentServer* server_ = nullptr;
    std::vector<KLib::Ref<Graph>> graphs_;
    std::vector<KLib::Ref<FFTGraph>> fftViews_;
    Instrument::ValueCallback valueCallback_;
};
