#pragma once

#include "config/Config.h"
#include "signal/Catalogue.h"
#include "signal/Units.h"

#include <cstdint>
#include <vector>

// The values of one channel handed on per chunk never exceed this count.
constexpr int maxChunkValues = 32767;

// Where one source of a channel sits in the sample frame and how its bytes are read.
struct SourceLayout {
    int offset = 0;         // bytes from the start of the frame
    int kind = 0;           // a SignalEntry::Kind; 0 for a source that reads as 0
    bool invertBit = false; // a level read from kinds 1 to 3 is inverted
};

// Turns the 32-bit position counter of the box into a 64-bit position, so that a curve does not
// jump by 2^32 counts when the counter wraps.
struct PositionUnwrap {
    std::int64_t position = 0; // counts; its low 32 bits equal the last raw counter
    bool started = false;

    // The position after the raw counter `raw`. The first counter after a reset is taken as it
    // is; afterwards the step to the previous counter is taken as the shorter way round the
    // 32-bit circle (a step of exactly 2^31 either way is taken as it comes).
    std::int64_t next(std::int32_t raw) {
        if (!started) {
            started = true;
            position = raw;
            return position;
        }
        std::int64_t step = std::int64_t(raw) - std::int64_t(std::int32_t(std::uint32_t(position)));
        if (step > (std::int64_t(1) << 31))
            step -= std::int64_t(1) << 32;
        else if (step < -(std::int64_t(1) << 31))
            step += std::int64_t(1) << 32;
        position += step;
        return position;
    }
    void reset() { *this = PositionUnwrap(); }
};

// What the computation of one channel needs at run time, built when the channel selection is
// sent to the box and kept for the whole recording.
struct ChannelRuntime {
    double factor = 1.0;    // unit factor times the scale of the primary source
    double factor2 = 1.0;   // the same unit's factor times the scale of the second source
    int op = OperationNone; // a ChannelOperation
    double sign = 1.0;      // -1 for an inverted curve
    double offset = 0.0;    // added after the sign, in the channel's unit
    double keptValue = 0.0; // last primary value of the previous chunk, for differentiate

    // Filled by the channel selection, which knows the frame layout. The second source is only
    // read for "add" and "subtract".
    SourceLayout source;
    SourceLayout source2;
    PositionUnwrap unwrap;  // primary source, counters with an operation other than "none"
    PositionUnwrap unwrap2; // second source

    // Called when a recording starts and after a manual zero: the next counter starts afresh.
    void resetUnwrap() {
        unwrap.reset();
        unwrap2.reset();
    }
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
