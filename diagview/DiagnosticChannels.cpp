#include "diagview/DiagnosticChannels.h"

#include "signal/Inputs.h"
#include "signal/Units.h"

#include <algorithm>

int plainChannel(const GraphData& graph, int input, int signal) {
    for (std::size_t c = 0; c < graph.channelList.size(); ++c) {
        const ChannelData& channel = graph.channelList[c];
        if (channel.op == OperationNone && channel.input == input && channel.channel == signal)
            return static_cast<int>(c);
    }
    return -1;
}

double baseUnitsPerValue(const ChannelData& channel) {
    return 1.0 / static_cast<double>(unitFactor(channel.unit));
}

namespace {

bool isSsiPosition(const InputSettings& inputs, const ChannelData& channel) {
    const std::optional<InputLocation> where = locateInput(inputs, channel.input);
    if (!where || where->kind != InputKind::Ssi || channel.channel < 0 || channel.channel >= 8)
        return false;
    const SSIInput& ssi = inputs.ssiInputs[static_cast<std::size_t>(where->index)];
    return ssi.words[static_cast<std::size_t>(channel.channel)].type == 0;
}

bool isIncrementalPosition(const InputSettings& inputs, const ChannelData& channel) {
    const std::optional<InputLocation> where = locateInput(inputs, channel.input);
    return where && (where->kind == InputKind::SinCos || where->kind == InputKind::HtlTtl) &&
           channel.channel == encoderPositionSignal;
}

} // namespace

std::vector<PositionPair> positionPairs(const InputSettings& inputs, const GraphData& graph) {
    std::vector<PositionPair> pairs;
    const auto& channels = graph.channelList;
    for (std::size_t s = 0; s < channels.size(); ++s) {
        if (channels[s].op != OperationNone || !isSsiPosition(inputs, channels[s]))
            continue;
        for (std::size_t i = 0; i < channels.size(); ++i)
            if (channels[i].op == OperationNone && channels[i].unit == channels[s].unit &&
                isIncrementalPosition(inputs, channels[i]))
                pairs.push_back({static_cast<int>(s), static_cast<int>(i)});
    }
    return pairs;
}

std::vector<int> encoderInputs(const InputSettings& inputs, const GraphData& graph) {
    std::vector<int> found;
    for (const ChannelData& channel : graph.channelList) {
        const std::optional<InputLocation> where = locateInput(inputs, channel.input);
        if (channel.op == OperationNone && where && where->kind != InputKind::Analog)
            found.push_back(channel.input);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}
