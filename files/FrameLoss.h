#pragma once

#include <cstdint>

// Where a lost run of frames stands in a recording.
struct FrameLoss {
    std::uint64_t atSample = 0; // index (from 0) of the first substitute, or of the sample after
                                // the loss when none was written
    std::int64_t frames = 0;    // frames lost
    int substitutes = 0;        // of them, written as the substitute value
};
