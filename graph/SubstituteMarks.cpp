#include "graph/SubstituteMarks.h"

#include <algorithm>

void SubstituteMarks::overwritten(int first, int last) {
    if (first >= last)
        return;
    std::vector<Run> kept;
    kept.reserve(runs_.size() + 1);
    for (const Run& run : runs_) {
        // The parts of the run on either side of the written span stay.
        if (run.first < first)
            kept.push_back({run.first, std::min(run.last, first)});
        if (run.last > last)
            kept.push_back({std::max(run.first, last), run.last});
    }
    runs_ = std::move(kept);
}

void SubstituteMarks::add(int first, int count) {
    if (count <= 0)
        return;
    const Run run{first, first + count};
    // Joined with a run it touches, so that the runs stay apart.
    auto at = std::lower_bound(runs_.begin(), runs_.end(), run,
                               [](const Run& a, const Run& b) { return a.last < b.first; });
    if (at != runs_.end() && at->first <= run.last) {
        at->first = std::min(at->first, run.first);
        at->last = std::max(at->last, run.last);
        return;
    }
    runs_.insert(at, run);
}

std::int64_t SubstituteMarks::countIn(int first, int last) const {
    std::int64_t count = 0;
    for (const Run& run : runs_) {
        const int from = std::max(run.first, first);
        const int to = std::min(run.last, last);
        if (from < to)
            count += to - from;
    }
    return count;
}
