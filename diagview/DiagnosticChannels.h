#pragma once

#include "config/Config.h"

#include <vector>

// Signals of a SinCos input, counted from 0 within the input.
constexpr int encoderPositionSignal = 0;
constexpr int analogASignal = 2;
constexpr int analogBSignal = 3;
constexpr int referencePulseSignal = 4;
// Signals of an HTL/TTL input.
constexpr int levelASignal = 2;
constexpr int levelBSignal = 3;

// The first channel of the graph that shows the input's signal as it comes from the box (no
// operation applied), -1 when there is none.
int plainChannel(const GraphData& graph, int input, int signal);

// The factor from a channel's values to the signal's base unit (turns, volts, ...).
double baseUnitsPerValue(const ChannelData& channel);

// An absolute and an incremental position channel of the same unit, whose difference shows
// whether the two position sources agree.
struct PositionPair {
    int ssi = -1;         // channel of an SSI position word
    int incremental = -1; // channel of a SinCos or HTL/TTL encoder position
};

// Every pairing of an SSI position word with a SinCos or HTL/TTL position of the same unit, in
// channel order of the SSI channel.
std::vector<PositionPair> positionPairs(const InputSettings& inputs, const GraphData& graph);

// The inputs of the graph's plain channels that are SinCos, HTL/TTL or SSI inputs, ascending.
std::vector<int> encoderInputs(const InputSettings& inputs, const GraphData& graph);
