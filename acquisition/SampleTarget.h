#pragma once

#include <cstdint>

// What the frame decoder feeds: one graph. Per chunk of frames each of the graph's channels
// gets one appendSamples, then the graph gets one advance with the chunk's value count.
class SampleTarget {
public:
    virtual ~SampleTarget() = default;
    // The values are valid during the call only.
    virtual void appendSamples(int channel, const double* values, int count) = 0;
    // Commits `count` appended values per channel; true when the graph's window is now full.
    virtual bool advance(int count) = 0;
    // Told before the values of a chunk in which frames were lost: `frames` frames were lost
    // right before value `atValue` of the chunk, and the first `substitutes` of them stand
    // among the chunk's values as the substitute value. Graphs have no use for it; files that
    // keep a table of the losses do.
    virtual void framesLost(int atValue, std::int64_t frames, int substitutes) {
        (void)atValue;
        (void)frames;
        (void)substitutes;
    }
};
