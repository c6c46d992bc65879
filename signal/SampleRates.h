#pragma once

#include <vector>

// The sample rates the box is run at, in samples per second, ascending.
const std::vector<int>& sampleRates();
