#include "control/GraphCommandHandler.h"

#include "control/InstrumentGraphBoard.h"
#include "control/MainController.h"
#include "graph/FFTGraph.h"

#include <iterator>

GraphCommandHandler::GraphCommandHandler(MainController& controller, InstrumentGraphBoard& board,
                                         RecordEditor& editor)
    : controller_(controller), board_(board), editor_(editor) {}

GraphTarget GraphCommandHandler::targetOf(const Instrument* instrument, int channel) const {
    GraphTarget target;
    target.channel = channel;
    const std::vector<KLib::Ref<Graph>>& graphs = board_.graphs();
    for (std::size_t g = 0; instrument && g < graphs.size(); ++g) {
        const Instrument* view = graphs[g]->fftView();
        if (graphs[g].get() == instrument || view == instrument) {
            target.graph = static_cast<int>(g);
            target.fftView = view == instrument;
        }
    }
    const std::pair<int, DiagnosticView> diagnostic = board_.diagnosticViewOf(instrument);
    if (diagnostic.first >= 0) {
        target.graph = diagnostic.first;
        target.diagnostic = diagnostic.second;
    }
    return target;
}

bool GraphCommandHandler::applies(int command, const Instrument* instrument, int channel) const {
    return graphCommandApplies(controller_.config(), command, targetOf(instrument, channel));
}

void GraphCommandHandler::commit(Config& config, const Config& edited, const GraphChange& change) {
    const auto record = [](auto& list, int index) { return std::next(list.begin(), index); };
    Graph* graph = board_.graphAt(change.graph);
    switch (change.kind) {
    case GraphChangeKind::graphAdded:
        config.graphList.insert(record(config.graphList, change.graph),
                                *record(edited.graphList, change.graph));
        board_.insertGraph(config, change.graph);
        return;
    case GraphChangeKind::graphRemoved:
        // The instruments go before the record they draw.
        board_.removeGraph(change.graph);
        config.graphList.erase(record(config.graphList, change.graph));
        return;
    case GraphChangeKind::fftRemoved:
        board_.removeFFTView(change.graph);
        break;
    case GraphChangeKind::channelRemoved:
        graph->removeChannel(change.channel);
        break;
    default:
        break;
    }
    // The record is changed in place: the instruments keep drawing from it.
    *record(config.graphList, change.graph) = *record(edited.graphList, change.graph);
    switch (change.kind) {
    case GraphChangeKind::fftAdded:
        board_.addFFTView(change.graph);
        break;
    case GraphChangeKind::fftEdited:
        board_.refitFFTView(change.graph);
        break;
    case GraphChangeKind::lissajousAdded:
    case GraphChangeKind::lissajousRemoved:
    case GraphChangeKind::signalQualityAdded:
    case GraphChangeKind::signalQualityRemoved:
    case GraphChangeKind::statisticsAdded:
    case GraphChangeKind::statisticsRemoved:
        // The views follow the record's fields.
        board_.placeDiagnosticViews(change.graph);
        break;
    case GraphChangeKind::lissajousEdited:
        board_.redrawDiagnosticViews(change.graph);
        break;
    case GraphChangeKind::channelInserted:
        graph->insertChannel(change.channel);
        graph->rebuild();
        break;
    case GraphChangeKind::channelRemoved:
    case GraphChangeKind::channelEdited:
    case GraphChangeKind::graphEdited:
        graph->rebuild();
        // The views find their channels in the record again.
        board_.redrawDiagnosticViews(change.graph);
        break;
    default:
        break;
    }
}

void GraphCommandHandler::run(int command, const Instrument* instrument, int channel) {
    // The command and its dialog work on a copy; the records the instruments draw from change
    // only once the recording has stopped.
    Config edited = controller_.config();
    const GraphChange change =
        applyGraphCommand(edited, editor_, command, targetOf(instrument, channel));
    if (change.kind == GraphChangeKind::none)
        return;
    // A new channel gets a data window as long as its graph's; one the machine cannot hold is
    // not added, and the recording goes on.
    if (!controller_.windowsFit(edited))
        return;
    // As after a settings change: no transfer while the graphs and the selection differ.
    controller_.stopRecording();
    commit(controller_.config(), edited, change);
    controller_.link().sendSelection(controller_.config());
    board_.refresh();
}
