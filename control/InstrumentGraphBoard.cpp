#include "control/InstrumentGraphBoard.h"

void InstrumentGraphBoard::recreate(Config& config) {
    server_->clear();
    graphs_.clear();
    fftViews_.clear();
    server_->setLineWidth(config.inputSettings.lineWidth);
    for (GraphData& graph : config.graphList) {
        graphs_.push_back(server_->createGraph(config.inputSettings, graph));
        if (valueCallback_)
            graphs_.back()->setValueCallback(valueCallback_);
        // Created right after its graph, the view gets the slice below it.
        if (graph.fft)
            fftViews_.push_back(server_->createFFTGraph(graphs_.back(), graph));
    }
    rebuildAll();
    server_->setSyncXAxis(config.syncXAxis);
    // A configuration from before the axis state was stored: the X axes span the display time.
    if (config.GraphData_BOOST_CLASS_version == 0 && config.inputSettings.displayTime > 0.0f)
        for (const KLib::Ref<Graph>& graph : graphs_)
            graph->setXAxis(false, 1.0 / config.inputSettings.displayTime, 0.0);
}

void InstrumentGraphBoard::rebuildAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->rebuild();
}

void InstrumentGraphBoard::restartAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->restart();
}

bool InstrumentGraphBoard::anyOutOfRange() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        if (graph->isOutOfRange())
            return true;
    return false;
}

std::vector<SampleTarget*> InstrumentGraphBoard::targets() {
    std::vector<SampleTarget*> targets;
    for (const KLib::Ref<Graph>& graph : graphs_)
        targets.push_back(graph.get());
    return targets;
}

void InstrumentGraphBoard::fitAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->fitX();
    for (const KLib::Ref<FFTGraph>& view : fftViews_)
        view->fitX();
}

void InstrumentGraphBoard::autoScaleAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->autoScaleY();
    for (const KLib::Ref<FFTGraph>& view : fftViews_)
        view->autoScaleY();
}

GraphTiming InstrumentGraphBoard::timing(int graph) const {
    if (graph < 0 || static_cast<std::size_t>(graph) >= graphs_.size())
        return GraphTiming{};
    return graphs_[static_cast<std::size_t>(graph)]->timing();
}

int InstrumentGraphBoard::copySamples(int graph, int channel, int from, double* destination,
                                      int count) const {
    if (graph < 0 || static_cast<std::size_t>(graph) >= graphs_.size())
        return 0;
    return graphs_[static_cast<std::size_t>(graph)]->copySamples(channel, from, destination, count);
}
