#pragma once

#include "config/Config.h"
#include "signal/Catalogue.h"
#include "signal/Units.h"

#include <vector>

// The values of one channel handed on per chunk never exceed this count.
constexpr int maxChunkValues = 32767;

// What the computation of one channel needs at run time, built when the channel selection is
// sent to the box and kept for the whole recording.
struct ChannelRuntime {
    double factor = 1.0;    // unit factor times the scale of the primary source
    double factor2 = 1.0;   // the same unit's factor times the scale of the second source
    int op = OperationNone; // a ChannelOperation
    double sign = 1.0;      // -1 for an inverted curve
    double offset = 0.0;    // added after the sign, in the channel's unit
    double keptValue = 0.0; // last primary value of the previous chunk, for differentiate
};

// Builds the record of a channel. Sources outside the catalogue are moved to the nearest
// existing input and signal; a box without inputs gives factors of 0.
ChannelRuntime makeChannelRuntime(const ChannelData& channel, const Catalogue& catalogue);

// Computes one chunk of a channel in place: values holds `count` primary values and values2
// `count2` second-source values, both already multiplied by their factors; rate is in samples
// per second. Returns the number of values to hand on (at most maxChunkValues). Counts beyond
// a vector's size are cut to it; "add" and "subtract" hand on only values that have a partner.
int computeChannel(ChannelRuntime& record, std::vector<double>& values,
                   const std::vector<double>& values2, int count, int count2, double rate);
