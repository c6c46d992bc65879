#include "control/TriggerSetup.h"

#include "diagview/DiagnosticChannels.h"
#include "graph/NumberText.h"
#include "signal/Inputs.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

bool isPulseInput(const InputSettings& inputs, int input) {
    const std::string kind = inputKindName(inputs, input);
    return kind == "SinCos" || kind == "HTL/TTL";
}

// The first graph and channel that show the input's R pulse as it comes from the box.
bool findPulse(const Config& config, int input, TriggerCondition& condition) {
    int g = 0;
    for (const GraphData& graph : config.graphList) {
        const int c = plainChannel(graph, input, referencePulseSignal);
        if (c >= 0) {
            const ChannelData& channel = graph.channelList[static_cast<std::size_t>(c)];
            condition.graph = g;
            condition.channel = c;
            // The pulse is 0 or 1 before the channel's offset and sign: its rise is the event.
            const double offset = leadingNumber(channel.offset);
            const double sign = channel.invert ? -1.0 : 1.0;
            condition.level = (std::isfinite(offset) ? offset : 0.0) + 0.5 * sign;
            condition.slope = channel.invert ? TriggerSlope::Falling : TriggerSlope::Rising;
            return true;
        }
        ++g;
    }
    return false;
}

} // namespace

TriggerSetup setUpTrigger(const Config& config, int capacity) {
    const TriggerSettings& t = config.trigger;
    TriggerSetup setup;
    const std::optional<double> share = wholeNumber(t.preTrigger);
    if (!share || !(*share >= 0.0 && *share <= 100.0)) {
        setup.problem = "The pre-trigger share must be a number from 0 to 100 %";
        return setup;
    }
    // The event itself is a sample of the sweep, so at most all the others come before it.
    setup.condition.preTrigger = std::min(std::max(capacity - 1, 0),
                                          static_cast<int>(std::lround(*share / 100.0 * capacity)));

    if (t.source == TriggerSettings::ReferencePulse) {
        if (!isPulseInput(config.inputSettings, t.input)) {
            setup.problem = "The trigger input has no reference pulse R";
            return setup;
        }
        if (!findPulse(config, t.input, setup.condition)) {
            setup.problem = "No graph shows the R signal of " +
                            inputNames(config.inputSettings)[static_cast<std::size_t>(t.input)] +
                            " to trigger on";
            return setup;
        }
        setup.usable = true;
        return setup;
    }
    const int graphs = static_cast<int>(config.graphList.size());
    if (t.graph < 0 || t.graph >= graphs) {
        setup.problem = "The trigger's graph does not exist";
        return setup;
    }
    const GraphData& graph = *std::next(config.graphList.begin(), t.graph);
    if (t.channel < 0 || t.channel >= static_cast<int>(graph.channelList.size())) {
        setup.problem = "The trigger's channel does not exist";
        return setup;
    }
    const std::optional<double> level = wholeNumber(t.level);
    if (!level || !std::isfinite(*level)) {
        setup.problem = "The trigger level must be a number";
        return setup;
    }
    setup.condition.graph = t.graph;
    setup.condition.channel = t.channel;
    setup.condition.level = *level;
    setup.condition.slope = t.slope == TriggerSettings::Falling  ? TriggerSlope::Falling
                            : t.slope == TriggerSettings::Either ? TriggerSlope::Either
                                                                 : TriggerSlope::Rising;
    setup.usable = true;
    return setup;
}

std::string waitingText(double waitedSeconds, double timeoutSeconds) {
    if (!(waitedSeconds >= timeoutSeconds))
        return "Waiting for trigger...";
    return "Still waiting for trigger after " + fixedText(std::floor(waitedSeconds), 0) + " s";
}
