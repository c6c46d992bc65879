#pragma once

#include "acquisition/SampleTarget.h"
#include "files/SampleStream.h"

#include <limits>
#include <memory>
#include <vector>

// The graphs of a recording that goes to a file instead of the screen: each graph takes its
// decoded values like a graph of the window, and flush() hands the rows every graph has got to
// the file, so that memory holds no more than a data tick's worth. A recording of a set length
// takes no more than `rowLimit` rows; the graphs report themselves full when they have them.
class StreamedGraphs {
public:
    static constexpr std::uint64_t unlimited = std::numeric_limits<std::uint64_t>::max();

    explicit StreamedGraphs(const Config& config, std::uint64_t rowLimit = unlimited);
    ~StreamedGraphs();

    // One target per graph of the configuration, in its order.
    std::vector<SampleTarget*> targets();
    // Writes the rows every graph has got; false when the file failed.
    bool flush(SampleStream& file);
    // Rows written so far.
    std::uint64_t rows() const { return rows_; }
    // Every loss, where it stands in the rows.
    const std::vector<FrameLoss>& losses() const { return losses_; }

private:
    class Graph;
    std::vector<std::unique_ptr<Graph>> graphs_;
    std::vector<FrameLoss> losses_;
    std::uint64_t rows_ = 0;
};
