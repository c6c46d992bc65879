#pragma once

#include "graph/Graph.h"

#include <vector>

// A channel's samples in the graph's data window in the order they were taken. While a sweep
// overwrites the window from the left, the samples right of it are from the sweep before: they
// come first (but for the one at the write position, which repeats the newest sample), then a
// NaN where the two sweeps meet, then the new sweep. Figures that follow
// edges or take the last value must not read the seam as a step of the signal.
std::vector<double> samplesInTimeOrder(const Graph& graph, int channel);
