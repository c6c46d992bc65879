#include "acquisition/StagedDelivery.h"

#include <algorithm>

// One graph's part of the record: per channel its values and how many of them each chunk
// handed on, and per chunk the losses reported and the count the graph advanced by.
class StagedDelivery::Graph : public SampleTarget {
public:
    struct Loss {
        int chunk;
        int atValue;
        std::int64_t frames;
        int substitutes;
    };

    explicit Graph(std::size_t channels) : channels_(channels) {}

    void clear() {
        for (Channel& channel : channels_) {
            channel.values.clear();
            channel.counts.clear();
        }
        advances_.clear();
        losses_.clear();
    }

    void appendSamples(int channel, const double* values, int count) override {
        if (channel < 0 || static_cast<std::size_t>(channel) >= channels_.size() || count < 0)
            return;
        Channel& staged = channels_[static_cast<std::size_t>(channel)];
        staged.values.insert(staged.values.end(), values, values + count);
        staged.counts.push_back(count);
    }
    bool advance(int count) override {
        advances_.push_back(count);
        return false;
    }
    void framesLost(int atValue, std::int64_t frames, int substitutes) override {
        losses_.push_back({static_cast<int>(advances_.size()), atValue, frames, substitutes});
    }

    std::size_t values() const {
        std::size_t values = 0;
        for (const Channel& channel : channels_)
            values += channel.values.size();
        return values;
    }

    // Where the replay of this graph stands.
    struct Cursor {
        std::vector<std::size_t> offsets; // per channel, values played
        std::size_t loss = 0;             // losses played
    };
    // Plays chunk `chunk` into target; true when the target reported itself full.
    bool play(int chunk, SampleTarget& target, Cursor& cursor) const {
        cursor.offsets.resize(channels_.size(), 0);
        for (; cursor.loss < losses_.size() && losses_[cursor.loss].chunk == chunk; ++cursor.loss) {
            const Loss& loss = losses_[cursor.loss];
            target.framesLost(loss.atValue, loss.frames, loss.substitutes);
        }
        for (std::size_t c = 0; c < channels_.size(); ++c) {
            const Channel& channel = channels_[c];
            if (static_cast<std::size_t>(chunk) >= channel.counts.size())
                continue;
            const int count = channel.counts[static_cast<std::size_t>(chunk)];
            target.appendSamples(static_cast<int>(c), channel.values.data() + cursor.offsets[c],
                                 count);
            cursor.offsets[c] += static_cast<std::size_t>(count);
        }
        return target.advance(advances_[static_cast<std::size_t>(chunk)]);
    }

private:
    struct Channel {
        std::vector<double> values;
        std::vector<int> counts; // per chunk
    };
    std::vector<Channel> channels_;
    std::vector<int> advances_; // per chunk
    std::vector<Loss> losses_;  // in the order reported
};

StagedDelivery::StagedDelivery() = default;
StagedDelivery::~StagedDelivery() = default;

void StagedDelivery::shape(const std::vector<std::size_t>& channelsPerGraph) {
    graphs_.clear();
    for (std::size_t channels : channelsPerGraph)
        graphs_.emplace_back(channels);
    statuses_.clear();
}

void StagedDelivery::clear() {
    for (Graph& graph : graphs_)
        graph.clear();
    statuses_.clear();
}

std::size_t StagedDelivery::values() const {
    std::size_t values = 0;
    for (const Graph& graph : graphs_)
        values += graph.values();
    return values;
}

std::vector<GraphFeed> StagedDelivery::feeds(std::vector<std::vector<ChannelRuntime>>& channels) {
    std::vector<GraphFeed> feeds;
    for (std::size_t g = 0; g < graphs_.size() && g < channels.size(); ++g)
        feeds.push_back({&graphs_[g], &channels[g]});
    return feeds;
}

StagedDelivery::Replay StagedDelivery::replay(const std::vector<SampleTarget*>& targets) const {
    Replay replay;
    const std::size_t graphs = std::min(graphs_.size(), targets.size());
    std::vector<Graph::Cursor> cursors(graphs);
    while (replay.chunks < chunks() && !replay.full) {
        for (std::size_t g = 0; g < graphs; ++g)
            if (targets[g] && graphs_[g].play(replay.chunks, *targets[g], cursors[g]))
                replay.full = true;
        replay.worst = std::max(replay.worst, statuses_[static_cast<std::size_t>(replay.chunks)]);
        ++replay.chunks;
    }
    return replay;
}

void StagedDelivery::showStatus(DecodeStatus status) {
    statuses_.push_back(status);
}
