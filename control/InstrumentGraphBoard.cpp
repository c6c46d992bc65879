#include "control/InstrumentGraphBoard.h"

#include <iterator>

void InstrumentGraphBoard::recreate(Config& config) {
    setTriggerIndex(-1);
    server_->clear();
    graphs_.clear();
    diagnostics_.clear();
    inputs_ = &config.inputSettings;
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
    diagnostics_.insert(diagnostics_.begin() + index, DiagnosticViews{});
    if (valueCallback_)
        graph->setValueCallback(valueCallback_);
    // Made right after its graph, the view gets the slice below it.
    if (record.fft)
        server_->createFFTGraph(graph, record, below);
    placeDiagnosticViews(index);
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
    removeDiagnosticViews(index);
    server_->removeInstrument(graph);
    graphs_.erase(graphs_.begin() + index);
    diagnostics_.erase(diagnostics_.begin() + index);
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
    // Emptied windows hold no triggered sweep.
    setTriggerIndex(-1);
    for (const KLib::Ref<Graph>& graph : graphs_)
        graph->rebuild();
    // The views measure the windows as the rebuild left them.
    for (std::size_t index = 0; index < graphs_.size(); ++index)
        redrawDiagnosticViews(static_cast<int>(index));
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

void InstrumentGraphBoard::holdLiveDrawing(bool hold) {
    for (const KLib::Ref<Graph>& graph : graphs_)
        hold ? graph->holdLiveDrawing() : graph->releaseLiveDrawing();
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

void InstrumentGraphBoard::placeDiagnosticViews(int index) {
    Graph* graph = graphAt(index);
    if (!graph || !inputs_)
        return;
    const auto at = static_cast<std::size_t>(index);
    DiagnosticViews& views = diagnostics_[at];
    GraphData& record = graph->record();
    if (record.lissajous && !views.lissajous) {
        views.lissajous =
            KLib::Ref<LissajousView>(new LissajousView(*server_, *inputs_, record, graphs_[at]));
        server_->addInstrument(views.lissajous,
                               views.quality ? views.quality.get() : instrumentAfter(at));
        views.lissajous->update(true);
    } else if (!record.lissajous && views.lissajous) {
        server_->removeInstrument(views.lissajous.get());
        views.lissajous.reset();
    }
    if (record.signalQuality && !views.quality) {
        views.quality = KLib::Ref<SignalQualityView>(
            new SignalQualityView(*server_, *inputs_, record, graphs_[at]));
        server_->addInstrument(views.quality, instrumentAfter(at));
        views.quality->update(views.lissajous.get());
    } else if (!record.signalQuality && views.quality) {
        server_->removeInstrument(views.quality.get());
        views.quality.reset();
    }
    // The statistics come last, right below the graph's other views.
    if (record.statistics && !views.statistics) {
        views.statistics =
            KLib::Ref<StatisticsView>(new StatisticsView(*server_, record, graphs_[at]));
        server_->addInstrument(views.statistics, instrumentAfter(at));
    } else if (!record.statistics && views.statistics) {
        server_->removeInstrument(views.statistics.get());
        views.statistics.reset();
    }
}

void InstrumentGraphBoard::removeDiagnosticViews(int index) {
    DiagnosticViews& views = diagnostics_[static_cast<std::size_t>(index)];
    if (views.lissajous)
        server_->removeInstrument(views.lissajous.get());
    if (views.quality)
        server_->removeInstrument(views.quality.get());
    if (views.statistics)
        server_->removeInstrument(views.statistics.get());
    views = DiagnosticViews{};
}

void InstrumentGraphBoard::redrawDiagnosticViews(int index) {
    if (!graphAt(index))
        return;
    const DiagnosticViews& views = diagnostics_[static_cast<std::size_t>(index)];
    if (views.lissajous)
        views.lissajous->update(true);
    if (views.quality)
        views.quality->update(views.lissajous.get());
}

std::pair<int, DiagnosticView>
InstrumentGraphBoard::diagnosticViewOf(const Instrument* instrument) const {
    for (std::size_t g = 0; instrument && g < diagnostics_.size(); ++g) {
        if (diagnostics_[g].lissajous.get() == instrument)
            return {static_cast<int>(g), DiagnosticView::Lissajous};
        if (diagnostics_[g].quality.get() == instrument)
            return {static_cast<int>(g), DiagnosticView::SignalQuality};
        if (diagnostics_[g].statistics.get() == instrument)
            return {static_cast<int>(g), DiagnosticView::Statistics};
    }
    return {-1, DiagnosticView::None};
}

void InstrumentGraphBoard::updateDiagnostics(bool final) {
    // A window at 500 kS/s costs a view about 1 ms to picture and several to measure, and
    // deliveries come up to twenty times a second: pictures follow ten times a second, figures
    // twice, as often as anyone reads them.
    constexpr std::chrono::milliseconds pictureInterval{100};
    constexpr std::chrono::milliseconds figureInterval{500};
    const auto now = std::chrono::steady_clock::now();
    if (!final && now - pictureTaken_ < pictureInterval)
        return;
    const bool figures = final || now - figuresTaken_ >= figureInterval;
    bool any = false;
    for (const DiagnosticViews& views : diagnostics_) {
        if (views.lissajous) {
            views.lissajous->update(figures);
            any = true;
        }
        if (views.quality && figures) {
            views.quality->update(views.lissajous.get());
            any = true;
        }
    }
    if (!any)
        return;
    pictureTaken_ = now;
    if (figures)
        figuresTaken_ = now;
    for (const DiagnosticViews& views : diagnostics_) {
        if (views.lissajous)
            figures ? views.lissajous->repaint() : views.lissajous->drawLivePicture();
        if (views.quality && figures)
            views.quality->repaint();
    }
}

std::vector<DiagnosticRecord> InstrumentGraphBoard::diagnosticRecords() const {
    std::vector<DiagnosticRecord> records;
    for (const DiagnosticViews& views : diagnostics_) {
        if (views.lissajous)
            records.push_back(views.lissajous->diagnosticRecord());
        if (views.quality)
            records.push_back(views.quality->diagnosticRecord());
    }
    return records;
}
