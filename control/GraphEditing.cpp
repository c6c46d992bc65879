#include "control/GraphEditing.h"

#include "diagview/DiagnosticChannels.h"
#include "signal/Inputs.h"

#include <algorithm>
#include <iterator>

namespace {

// Whether an "add view" command would add its view to `graph`.
bool viewAddable(const InputSettings& inputs, const GraphData& graph, int command) {
    switch (command) {
    case addFFTGraphCommand:
        return !graph.fft;
    case addLissajousCommand:
        return !graph.lissajous && lissajousInputOf(inputs, graph) >= 0;
    case signalQualityCommand:
        return !graph.signalQuality && !encoderInputs(inputs, graph).empty();
    case statisticsCommand:
        return !graph.statistics;
    default:
        return false;
    }
}

// The channel a channel command acts on: the end of the list for "Add channel", else the
// selected channel; -1 when that is out of range.
int channelPosition(const GraphData& graph, int command, const GraphTarget& target) {
    const int count = static_cast<int>(graph.channelList.size());
    if (command == addChannelCommand)
        return count;
    return target.channel >= 0 && target.channel < count ? target.channel : -1;
}

bool isChannelCommand(int command) {
    return command >= addChannelCommand && command <= removeChannelCommand;
}

// The record at `index`, or the end of the list when there is none.
KLib::List<GraphData>::iterator graphAt(Config& config, int index) {
    if (index < 0 || index >= static_cast<int>(config.graphList.size()))
        return config.graphList.end();
    return std::next(config.graphList.begin(), index);
}

// A new graph record, edited and inserted before `position`; the list is untouched on cancel.
GraphChange addGraph(Config& config, RecordEditor& editor,
                     KLib::List<GraphData>::iterator position) {
    GraphData graph;
    if (!editor.editGraph(graph))
        return {};
    const auto added = config.graphList.insert(position, graph);
    return {GraphChangeKind::graphAdded,
            static_cast<int>(std::distance(config.graphList.begin(), added)), -1};
}

// Edits the view the target points at through a working copy, so that a cancelled dialog
// leaves no partial edit behind. The signal-quality table has no settings.
GraphChange editView(RecordEditor& editor, const GraphTarget& target, GraphData& graph) {
    GraphData edited = graph;
    GraphChangeKind kind = GraphChangeKind::none;
    if (target.diagnostic == DiagnosticView::Lissajous) {
        if (editor.editLissajous(edited))
            kind = GraphChangeKind::lissajousEdited;
    } else if (target.diagnostic == DiagnosticView::SignalQuality ||
               target.diagnostic == DiagnosticView::Statistics) {
        return {};
    } else if (target.fftView) {
        if (editor.editFFT(edited))
            kind = GraphChangeKind::fftEdited;
    } else if (editor.editGraph(edited)) {
        kind = GraphChangeKind::graphEdited;
    }
    if (kind == GraphChangeKind::none)
        return {};
    graph = edited;
    return {kind, target.graph, -1};
}

// Removes the view the target points at: a view below the graph, or the graph itself.
GraphChange removeView(Config& config, const GraphTarget& target,
                       KLib::List<GraphData>::iterator graph) {
    switch (target.diagnostic) {
    case DiagnosticView::Lissajous:
        graph->lissajous = false;
        return {GraphChangeKind::lissajousRemoved, target.graph, -1};
    case DiagnosticView::SignalQuality:
        graph->signalQuality = false;
        return {GraphChangeKind::signalQualityRemoved, target.graph, -1};
    case DiagnosticView::Statistics:
        graph->statistics = false;
        return {GraphChangeKind::statisticsRemoved, target.graph, -1};
    case DiagnosticView::None:
        break;
    }
    if (target.fftView) {
        graph->fft = false;
        return {GraphChangeKind::fftRemoved, target.graph, -1};
    }
    config.graphList.erase(graph);
    return {GraphChangeKind::graphRemoved, target.graph, -1};
}

// Adds one of the views below the graph, when the graph can show it and has it not yet.
GraphChange addView(const InputSettings& inputs, int command, int index, GraphData& graph) {
    if (!viewAddable(inputs, graph, command))
        return {};
    switch (command) {
    case addFFTGraphCommand:
        graph.fft = true;
        return {GraphChangeKind::fftAdded, index, -1};
    case addLissajousCommand:
        graph.lissajous = true;
        graph.lissajousInput = lissajousInputOf(inputs, graph);
        return {GraphChangeKind::lissajousAdded, index, -1};
    case statisticsCommand:
        graph.statistics = true;
        return {GraphChangeKind::statisticsAdded, index, -1};
    default:
        graph.signalQuality = true;
        return {GraphChangeKind::signalQualityAdded, index, -1};
    }
}

// The graph's own commands: insert, edit and remove it or one of its views, add a view.
GraphChange graphCommand(Config& config, RecordEditor& editor, int command,
                         const GraphTarget& target, KLib::List<GraphData>::iterator graph) {
    switch (command) {
    case insertGraphCommand:
        return addGraph(config, editor, graph);
    case editGraphCommand:
        return editView(editor, target, *graph);
    case removeGraphCommand:
        return removeView(config, target, graph);
    case addFFTGraphCommand:
    case addLissajousCommand:
    case signalQualityCommand:
    case statisticsCommand:
        return addView(config.inputSettings, command, target.graph, *graph);
    default:
        return {};
    }
}

// The channel commands, on the graph's channel list.
GraphChange channelCommand(const Config& config, RecordEditor& editor, int command,
                           const GraphTarget& target, GraphData& graph) {
    KLib::Array<ChannelData>& channels = graph.channelList;
    const int position = channelPosition(graph, command, target);
    if (position < 0)
        return {};
    switch (command) {
    case addChannelCommand:
    case insertChannelCommand: {
        ChannelData channel;
        channel.color = paletteColour(static_cast<std::size_t>(position));
        if (!editor.editChannel(config.inputSettings, channel))
            return {};
        channels.insert(channels.begin() + position, channel);
        return {GraphChangeKind::channelInserted, target.graph, position};
    }
    case editChannelCommand: {
        ChannelData edited = channels[position];
        if (!editor.editChannel(config.inputSettings, edited))
            return {};
        channels[position] = edited;
        return {GraphChangeKind::channelEdited, target.graph, position};
    }
    case removeChannelCommand:
        channels.erase(channels.begin() + position);
        return {GraphChangeKind::channelRemoved, target.graph, position};
    default:
        return {};
    }
}

} // namespace

int paletteColour(std::size_t position) {
    return channelPalette[position % channelPalette.size()];
}

int lissajousInputOf(const InputSettings& inputs, const GraphData& graph) {
    const int sinCosInputs = static_cast<int>(inputs.sineInputs.size());
    for (int input = 0; input < sinCosInputs; ++input)
        if (plainChannel(graph, input, analogASignal) >= 0 &&
            plainChannel(graph, input, analogBSignal) >= 0)
            return input;
    return -1;
}

GraphChange applyGraphCommand(Config& config, RecordEditor& editor, int command,
                              const GraphTarget& target) {
    if (config.lockGraphs)
        return {};
    if (command == addGraphCommand)
        return addGraph(config, editor, config.graphList.end());
    const auto graph = graphAt(config, target.graph);
    if (graph == config.graphList.end())
        return {};
    if (isChannelCommand(command))
        return channelCommand(config, editor, command, target, *graph);
    return graphCommand(config, editor, command, target, graph);
}

bool graphCommandApplies(const Config& config, int command, const GraphTarget& target) {
    if (config.lockGraphs)
        return false;
    if (command == addGraphCommand)
        return true;
    if (target.graph < 0 || target.graph >= static_cast<int>(config.graphList.size()))
        return false;
    const GraphData& graph = *std::next(config.graphList.begin(), target.graph);
    if (isChannelCommand(command))
        return channelPosition(graph, command, target) >= 0;
    switch (command) {
    case insertGraphCommand:
    case removeGraphCommand:
        return true;
    case editGraphCommand:
        return target.diagnostic != DiagnosticView::SignalQuality &&
               target.diagnostic != DiagnosticView::Statistics;
    default:
        return viewAddable(config.inputSettings, graph, command);
    }
}
