#pragma once

#include "acquisition/SampleTarget.h"

#include <cstdint>
#include <memory>
#include <vector>

enum class TriggerSlope { Rising = 0, Falling = 1, Either = 2 };

// What a single sweep waits for: a channel of a graph crossing a level.
struct TriggerCondition {
    int graph = 0;      // index of the graph whose channel triggers
    int channel = 0;    // index of the channel in that graph
    double level = 0.0; // in the channel's unit
    TriggerSlope slope = TriggerSlope::Rising;
    // Samples of the sweep before the event: the event lands at this index of the window.
    int preTrigger = 0;
};

// Holds the samples back from the graphs until the condition is met, keeping the last
// `preTrigger` of them, then hands the graphs the event's history and everything after it, so
// that every graph's sweep has the event at the same index. The sample at which the level is
// reached or passed is the event. The graphs' targets take the gate's targets' place, one for
// one; the gate keeps room for the history and one chunk per channel.
class TriggerGate {
public:
    // channelsPerGraph: the channel count of each target, in order.
    TriggerGate(const TriggerCondition& condition, const std::vector<SampleTarget*>& graphs,
                const std::vector<int>& channelsPerGraph);
    ~TriggerGate();
    TriggerGate(const TriggerGate&) = delete;
    TriggerGate& operator=(const TriggerGate&) = delete;

    // Stand-ins for the graphs, in their order; they live as long as the gate.
    std::vector<SampleTarget*> targets() const;
    bool fired() const { return firedAt_ >= 0; }
    // Samples per channel received since the gate was armed (the event's index among them, once
    // fired).
    std::int64_t received() const;
    std::int64_t firedAt() const { return firedAt_; }

private:
    class Feed;
    void fire(std::int64_t at);

    TriggerCondition condition_;
    std::vector<std::unique_ptr<Feed>> feeds_;
    std::int64_t firedAt_ = -1;
};
