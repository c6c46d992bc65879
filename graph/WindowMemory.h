#pragma once

#include "config/Config.h"

#include <cstdint>

// Samples in a graph's data window: displayTime × rate, in single precision like the display
// time itself, at least 10 and at most 10^8.
int windowCapacity(const InputSettings& inputs);

// Bytes the data windows of every graph of the configuration take when they hold `displayTime`
// seconds: one double per sample and channel, plus a sixth for the drawing summaries and the
// allocator.
std::uint64_t windowBytes(const Config& config, float displayTime);
