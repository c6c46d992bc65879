#include "diagview/WindowSamples.h"

#include <cmath>

std::vector<double> samplesInTimeOrder(const Graph& graph, int channel) {
    const std::vector<double>& samples = graph.traces()[static_cast<std::size_t>(channel)].samples;
    const auto held = static_cast<std::size_t>(graph.timing().highWater);
    const auto written = static_cast<std::size_t>(graph.writeIndex());
    // The sample at the write position repeats the newest one; the sweep before starts after it.
    if (written == 0)
        return std::vector<double>(samples.begin(), samples.begin() + held);
    if (written + 1 >= held)
        return std::vector<double>(samples.begin(), samples.begin() + written);
    std::vector<double> ordered(samples.begin() + written + 1, samples.begin() + held);
    ordered.push_back(NAN);
    ordered.insert(ordered.end(), samples.begin(), samples.begin() + written);
    return ordered;
}
