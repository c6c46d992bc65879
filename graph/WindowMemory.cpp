#include "graph/WindowMemory.h"

#include <algorithm>

namespace {
// 2^40, 8 TiB a channel: far beyond any disk, exact in single precision, and small enough that
// the bytes of thousands of channels still count without overflow.
constexpr float maxSweepSamples = 1099511627776.0f;
} // namespace

std::uint64_t sweepSamples(const InputSettings& inputs, float seconds) {
    const int rate = std::max(inputs.rate, 1); // samples per second
    const float samples = seconds * static_cast<float>(rate);
    if (!(samples >= 10.0f))
        return 10;
    return static_cast<std::uint64_t>(std::min(samples, maxSweepSamples));
}

int windowCapacity(const InputSettings& inputs) {
    return static_cast<int>(
        std::min<std::uint64_t>(sweepSamples(inputs, inputs.displayTime), maxWindowCapacity));
}

std::uint64_t windowBytesForSamples(const Config& config, std::uint64_t samples) {
    const std::uint64_t perChannel = (samples + 1) * sizeof(double);
    std::uint64_t channels = 0;
    for (const GraphData& graph : config.graphList)
        channels += graph.channelList.size();
    return channels * perChannel * 7 / 6;
}

std::uint64_t windowBytes(const Config& config, float displayTime) {
    InputSettings inputs = config.inputSettings;
    inputs.displayTime = displayTime;
    return windowBytesForSamples(config, static_cast<std::uint64_t>(windowCapacity(inputs)));
}
