#include "control/ConfigurationCheck.h"

#include "signal/AllowedChoices.h"

#include <algorithm>

namespace {

constexpr int lowestRate = 100;               // samples per second
constexpr int highestRate = 500000;           // samples per second
constexpr float shortestDisplayTime = 0.01f;  // s
constexpr float longestDisplayTime = 1000.0f; // s

} // namespace

void checkConfiguration(Config& config) {
    InputSettings& inputs = config.inputSettings;
    if (inputs.rate <= lowestRate)
        inputs.rate = lowestRate;
    else if (inputs.rate >= highestRate)
        inputs.rate = highestRate;

    // Written as negated comparisons so that a time that is not a number takes the lower limit.
    float time = inputs.displayTime;
    if (!(time > shortestDisplayTime))
        time = shortestDisplayTime;
    if (!(time < longestDisplayTime))
        time = longestDisplayTime;
    inputs.displayTime = time;

    for (GraphData& graph : config.graphList)
        for (ChannelData& channel : graph.channelList) {
            const std::vector<int> units =
                allowedUnits(inputs, channel.input, channel.channel, channel.op);
            // A channel on an input the box lacks keeps its unit for a box that has it.
            if (!units.empty() &&
                std::find(units.begin(), units.end(), channel.unit) == units.end())
                channel.unit = units.front();
        }
}
