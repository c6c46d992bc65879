#pragma once

#include <cstdint>
#include <vector>

// Where a data window holds substitutes for lost frames, as runs of sample indices; a run goes
// when its samples are written anew.
class SubstituteMarks {
public:
    // Samples first ... last - 1 were written anew.
    void overwritten(int first, int last);
    // `count` substitutes from sample `first` on, within samples that were just written.
    void add(int first, int count);
    // How many of samples first ... last - 1 are substitutes.
    std::int64_t countIn(int first, int last) const;
    void clear() { runs_.clear(); }

private:
    struct Run {
        int first = 0;
        int last = 0; // exclusive
    };
    std::vector<Run> runs_; // in order, apart
};
