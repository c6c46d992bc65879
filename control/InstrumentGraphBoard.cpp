#include "control/InstrumentGraphBoard.h"

#include <iterator>

void InstrumentGraphBoard::recreate(Config& config) {
    server_->clear();
    graphs_.clear();
    server_->setLineWidth(config.inputSettings.lineWidth);
    for (std::size_t index = 0; index < config.graphList.size(); ++index)
        placeGraph(config, static_cast<int>(index));
    rebuildAll();
    server_->setSyncXAxis(config.syncXAxis);
    // A configuration from before the axis state was stored, or one made up without a file:
    // the X axes span the display time. Once only: the axes are the user's from then on, and
    // once laid out, a reset to one pixel per second would squeeze the sweep into one column.
    if (config.GraphData_BOOST_CLASS_version == 0 && config.inputSettings.displayTime > 0.0f)
        for (const KLib::Ref<Graph>& graph : graphs_)
            graph->setXAxis(false, 1.0 / config.inputSettings.displayTime, 0.0);
    config.GraphData_BOOST_CLASS_version = Config::graphDataClassVersion;
}

Instrument* InstrumentGraphBoard::instrumentAfter(std::size_t index) const {
    return index + 1 < graphs_.size() ? graphs_[index + 1].get() : nullptr;
}

Graph& InstrumentGraphBoard::placeGraph(Config& config, int index) {
    const auto at = static_cast<std::size_t>(index);
    GraphData& record = *std::next(config.graphList.begin(), index);
    Instrument* below = at < graphs_.size() ? graphs_[at].get() : nullptr;
    const KLib::Ref<Graph> graph = server_->createGraph(config.inputSettings, record, below);
    graphs_.insert(graphs_.begin() + index, graph);
    if (valueCallback_)
        graph->setValueCallback(valueCallback_);
    // Made right after its graph, the view gets the slice below it.
    if (record.fft)
        server_->createFFTGraph(graph, record, below);
    return *graph;
}

void InstrumentGraphBoard::insertGraph(Config& config, int index) {
    const auto at = static_cast<std::size_t>(index);
    if (index < 0 || at > graphs_.size() || at >= config.graphList.size())
        return;
    placeGraph(config, index).rebuild();
    // Its X axis follows the others once it has its place on the panel.
    server_->setSyncXAxis(config.syncXAxis);
}

void InstrumentGraphBoard::removeGraph(int index) {
    Graph* graph = graphAt(index);
    if (!graph)
        return;
    removeFFTView(index);
    server_->removeInstrument(graph);
    graphs_.erase(graphs_.begin() + index);
}

Graph* InstrumentGraphBoard::graphAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= graphs_.size())
        return nullptr;
    return graphs_[static_cast<std::size_t>(index)].get();
}

void InstrumentGraphBoard::addFFTView(int index) {
    Graph* graph = graphAt(index);
    if (!graph || graph->fftView())
        return;
    const auto at = static_cast<std::size_t>(index);
    server_->createFFTGraph(graphs_[at], graph->record(), instrumentAfter(at));
    refitFFTView(index);
}

void InstrumentGraphBoard::removeFFTView(int index) {
    Graph* graph = graphAt(index);
    FFTGraph* view = graph ? graph->fftView() : nullptr;
    if (!view)
        return;
    // Unlinked at once: a menu that was opened on the view may hold it a little longer.
    graph->setFFTView(nullptr);
    server_->removeInstrument(view);
}

void InstrumentGraphBoard::refitFFTView(int index) {
    Graph* graph = graphAt(index);
    FFTGraph* view = graph ? graph->fftView() : nullptr;
    if (!view)
        return;
    view->rebuild();
    graph->fitX();
    view->autoScaleY();
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

std::vector<FFTGraph*> InstrumentGraphBoard::fftViews() const {
    std::vector<FFTGraph*> views;
    for (const KLib::Ref<Graph>& graph : graphs_)
        if (graph->fftView())
            views.push_back(graph->fftView());
    return views;
}

void InstrumentGraphBoard::fitAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->fitX();
    for (FFTGraph* view : fftViews())
        view->fitX();
}

void InstrumentGraphBoard::autoScaleAll() {
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->autoScaleY();
    for (FFTGraph* view : fftViews())
        view->autoScaleY();
}

GraphTiming InstrumentGraphBoard::timing(int graph) const {
    const Graph* held = graphAt(graph);
    return held ? held->timing() : GraphTiming{};
}

int InstrumentGraphBoard::copySamples(int graph, int channel, int from, double* destination,
                                      int count) const {
    const Graph* held = graphAt(graph);
    return held ? held->copySamples(channel, from, destination, count) : 0;
}
