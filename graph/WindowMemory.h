#pragma once

#include "config/Config.h"

#include <cstdint>

// Most samples a graph's data window holds: 100 s at 1 MHz; beyond this a window would not fit
// in memory.
constexpr int maxWindowCapacity = 100000000;

// Samples a sweep of `seconds` takes at the rate of `inputs`: seconds × rate, in single
// precision like the display time itself, at least 10.
std::uint64_t sweepSamples(const InputSettings& inputs, float seconds);

// Samples in a graph's data window: the sweep of the display time, at most maxWindowCapacity.
int windowCapacity(const InputSettings& inputs);

// Bytes the data windows of every graph of the configuration take when each holds `samples`:
// one double per sample and channel, plus a sixth for the drawing summaries and the allocator.
std::uint64_t windowBytesForSamples(const Config& config, std::uint64_t samples);

// Bytes the data windows take when they hold `displayTime` seconds.
std::uint64_t windowBytes(const Config& config, float displayTime);
