#pragma once

#include "acquisition/FrameDecoder.h"
#include "acquisition/SampleTarget.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What the hand-over thread decoded of a delivery, kept so that the user-interface thread only
// has to copy it into the graphs. It records the decoder's calls on every graph, chunk by chunk,
// with the status of each chunk, and plays them back in the same order. The staged graphs never
// report themselves full: the graphs the values go to decide that during the replay.
class StagedDelivery : public StatusDisplay {
public:
    struct Replay {
        int chunks = 0;    // chunks played back
        bool full = false; // a target reported its window full; the chunks after it were dropped
        DecodeStatus worst = DecodeStatus::Recording;
    };

    StagedDelivery();
    ~StagedDelivery() override; // the staged graphs are complete only in the source
    StagedDelivery(const StagedDelivery&) = delete;
    StagedDelivery& operator=(const StagedDelivery&) = delete;

    // An empty record for graphs with these channel counts.
    void shape(const std::vector<std::size_t>& channelsPerGraph);
    // Empties the record and keeps its memory for the next piece.
    void clear();
    // The feeds for FrameDecoder::decode, the staged graphs with the given channel records.
    std::vector<GraphFeed> feeds(std::vector<std::vector<ChannelRuntime>>& channels);
    // Values staged so far, over all graphs and channels.
    std::size_t values() const;
    int chunks() const { return static_cast<int>(statuses_.size()); }

    // Plays the record into targets[g] for graph g (a missing or null target is left out), and
    // stops after the chunk in which a target reported itself full.
    Replay replay(const std::vector<SampleTarget*>& targets) const;

    void showStatus(DecodeStatus status) override;

private:
    class Graph;
    std::vector<Graph> graphs_;
    std::vector<DecodeStatus> statuses_; // one per chunk
};
