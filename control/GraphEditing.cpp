#include "control/GraphEditing.h"

#include <iterator>

namespace {

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

// The graph's own commands: edit, remove and add its FFT view.
GraphChange graphCommand(Config& config, RecordEditor& editor, int command,
                         const GraphTarget& target, KLib::List<GraphData>::iterator graph) {
    switch (command) {
    case insertGraphCommand:
        return addGraph(config, editor, graph);
    case editGraphCommand: {
        // A working copy, so that a cancelled dialog leaves no partial edit behind.
        GraphData edited = *graph;
        if (!(target.fftView ? editor.editFFT(edited) : editor.editGraph(edited)))
            return {};
        *graph = edited;
        return {target.fftView ? GraphChangeKind::fftEdited : GraphChangeKind::graphEdited,
                target.graph, -1};
    }
    case removeGraphCommand:
        if (target.fftView) {
            graph->fft = false;
            return {GraphChangeKind::fftRemoved, target.graph, -1};
        }
        config.graphList.erase(graph);
        return {GraphChangeKind::graphRemoved, target.graph, -1};
    case addFFTGraphCommand:
        if (graph->fft)
            return {};
        graph->fft = true;
        return {GraphChangeKind::fftAdded, target.graph, -1};
    default:
        return {};
    }
}

// The channel commands, on the graph's channel list.
GraphChange channelCommand(const Config& config, RecordEditor& editor, int command,
                           const GraphTarget& target, GraphData& graph) {
    KLib::Array<ChannelData>& channels = graph.channelList;
    const int count = static_cast<int>(channels.size());
    const int position = command == addChannelCommand ? count : target.channel;
    if (position < 0 || position > count || (command != addChannelCommand && position == count))
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

GraphChange applyGraphCommand(Config& config, RecordEditor& editor, int command,
                              const GraphTarget& target) {
    if (config.lockGraphs)
        return {};
    if (command == addGraphCommand)
        return addGraph(config, editor, config.graphList.end());
    const auto graph = graphAt(config, target.graph);
    if (graph == config.graphList.end())
        return {};
    if (command >= addChannelCommand && command <= removeChannelCommand)
        return channelCommand(config, editor, command, target, *graph);
    return graphCommand(config, editor, command, target, graph);
}
