#include "recording/StreamedGraphs.h"

#include <algorithm>
#include <limits>

// Keeps the committed values of its channels until they are written. The first graph also
// notes the losses: every graph gets the same frames.
class StreamedGraphs::Graph : public SampleTarget {
public:
    Graph(std::size_t channels, std::size_t rowsAhead, std::vector<FrameLoss>* losses,
          const std::uint64_t* rowsWritten, std::uint64_t rowLimit)
        : pending_(channels), values_(channels), losses_(losses), rowsWritten_(rowsWritten),
          rowLimit_(rowLimit) {
        // Written once, so that the pages are the process's before the stream starts.
        for (std::vector<double>& values : values_) {
            values.resize(rowsAhead);
            values.clear();
        }
    }

    void appendSamples(int channel, const double* values, int count) override {
        pending_.at(static_cast<std::size_t>(channel)).assign(values, values + count);
    }
    bool advance(int count) override {
        const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(
            static_cast<std::uint64_t>(std::max(count, 0)), rowLimit_ - rowsTaken()));
        for (std::size_t c = 0; c < values_.size(); ++c) {
            const std::vector<double>& chunk = pending_[c];
            const std::size_t given = std::min(chunk.size(), taken);
            values_[c].insert(values_[c].end(), chunk.begin(), chunk.begin() + given);
            // A channel the decoder left out keeps its rows in step with the others, with no
            // value where it has none.
            values_[c].resize(values_[c].size() + (taken - given),
                              std::numeric_limits<double>::quiet_NaN());
            pending_[c].clear();
        }
        committed_ += taken;
        return rowsTaken() >= rowLimit_;
    }
    void framesLost(int atValue, std::int64_t frames, int substitutes) override {
        const std::uint64_t at = rowsTaken() + static_cast<std::uint64_t>(atValue);
        // A loss behind the last row the recording takes is not part of it.
        if (losses_ && at < rowLimit_)
            losses_->push_back({at, frames, substitutes});
    }

    std::uint64_t rowsHeld() const { return committed_; }
    // Rows written and held.
    std::uint64_t rowsTaken() const { return *rowsWritten_ + committed_; }
    const double* column(std::size_t c) const { return values_[c].data(); }
    std::size_t channels() const { return values_.size(); }
    // Forgets the first `rows` rows, which have been written.
    void drop(std::uint64_t rows) {
        for (std::vector<double>& values : values_)
            values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rows));
        committed_ -= rows;
    }

private:
    std::vector<std::vector<double>> pending_;
    std::vector<std::vector<double>> values_;
    std::vector<FrameLoss>* losses_;
    const std::uint64_t* rowsWritten_;
    std::uint64_t rowLimit_;
    std::uint64_t committed_ = 0; // rows held
};

StreamedGraphs::StreamedGraphs(const Config& config, std::uint64_t rowLimit) {
    // Room for the rows of a quarter second from the start: a column that grows by copying
    // costs most at the start, when the hand-over has a backlog, and in a virtual machine every
    // fresh page is dear. It is reused from flush to flush.
    const auto rowsAhead = static_cast<std::size_t>(std::max(0, config.inputSettings.rate) / 4);
    for (const GraphData& graph : config.graphList)
        graphs_.push_back(std::make_unique<Graph>(graph.channelList.size(), rowsAhead,
                                                  graphs_.empty() ? &losses_ : nullptr, &rows_,
                                                  rowLimit));
}

StreamedGraphs::~StreamedGraphs() = default;

std::vector<SampleTarget*> StreamedGraphs::targets() {
    std::vector<SampleTarget*> targets;
    for (const std::unique_ptr<Graph>& graph : graphs_)
        targets.push_back(graph.get());
    return targets;
}

bool StreamedGraphs::flush(SampleStream& file) {
    if (graphs_.empty())
        return true;
    std::uint64_t rows = graphs_.front()->rowsHeld();
    for (const std::unique_ptr<Graph>& graph : graphs_)
        rows = std::min(rows, graph->rowsHeld());
    if (rows == 0)
        return true;
    std::vector<const double*> columns;
    for (const std::unique_ptr<Graph>& graph : graphs_)
        for (std::size_t c = 0; c < graph->channels(); ++c)
            columns.push_back(graph->column(c));
    const bool written = file.append(columns, rows);
    for (const std::unique_ptr<Graph>& graph : graphs_)
        graph->drop(rows);
    rows_ += rows;
    return written;
}
