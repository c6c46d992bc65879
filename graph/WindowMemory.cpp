#include "graph/WindowMemory.h"

#include <algorithm>

namespace {
// 100 s at 1 MHz: beyond this a window would not fit in memory.
constexpr int maxCapacity = 100000000;
} // namespace

int windowCapacity(const InputSettings& inputs) {
    const int rate = std::max(inputs.rate, 1); // samples per second
    const float samples = inputs.displayTime * static_cast<float>(rate);
    if (!(samples >= 10.0f))
        return 10;
    if (samples >= static_cast<float>(maxCapacity))
        return maxCapacity;
    return static_cast<int>(samples);
}

std::uint64_t windowBytes(const Config& config, float displayTime) {
    InputSettings inputs = config.inputSettings;
    inputs.displayTime = displayTime;
    const std::uint64_t perChannel =
        (static_cast<std::uint64_t>(windowCapacity(inputs)) + 1) * sizeof(double);
    std::uint64_t channels = 0;
    for (const GraphData& graph : config.graphList)
        channels += graph.channelList.size();
    return channels * perChannel * 7 / 6;
}
