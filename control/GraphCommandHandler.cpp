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
    return target;
}

bool GraphCommandHandler::updateInstruments(const GraphChange& change) {
    const std::vector<KLib::Ref<Graph>>& graphs = board_.graphs();
    if (change.graph < 0 || change.graph >= static_cast<int>(graphs.size()))
        return false;
    Graph& graph = *graphs[static_cast<std::size_t>(change.graph)];
    switch (change.kind) {
    case GraphChangeKind::channelInserted:
        graph.insertChannel(change.channel);
        break;
    case GraphChangeKind::channelRemoved:
        graph.removeChannel(change.channel);
        break;
    case GraphChangeKind::graphEdited:
    case GraphChangeKind::channelEdited:
        break;
    default:
        // Graphs or FFT views come or go: every instrument is created again from the list, so
        // that none keeps a reference to an erased record.
        return false;
    }
    graph.rebuild();
    return true;
}

void GraphCommandHandler::run(int command, const Instrument* instrument, int channel) {
    Config& config = controller_.config();
    const std::uint64_t built = controller_.builtWindowBytes();
    const GraphChange change =
        applyGraphCommand(config, editor_, command, targetOf(instrument, channel));
    if (change.kind == GraphChangeKind::none)
        return;
    // A new channel gets a data window as long as its graph's; one the machine cannot hold is
    // not added, and the recording goes on.
    if (change.kind == GraphChangeKind::channelInserted &&
        !controller_.windowsFit(controller_.builtWindowBytes(), built)) {
        KLib::Array<ChannelData>& channels =
            std::next(config.graphList.begin(), change.graph)->channelList;
        channels.erase(channels.begin() + change.channel);
        return;
    }
    // As after a settings change: no transfer while the graphs and the selection differ.
    controller_.stopRecording();
    if (!updateInstruments(change))
        controller_.rebuildGraphs("");
    controller_.link().sendSelection(controller_.config());
    board_.refresh();
}
