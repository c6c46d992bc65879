#include "control/TriggerGate.h"

#include "signal/ChannelComputation.h"

#include <algorithm>

// One graph behind the gate: its values go into a ring per channel until the gate fires, and
// from then on to the graph.
class TriggerGate::Feed : public SampleTarget {
public:
    Feed(TriggerGate& gate, int index, SampleTarget& graph, int channels, int history)
        : gate_(gate), index_(index), graph_(graph),
          ringSize_(static_cast<std::size_t>(history) + maxChunkValues),
          rings_(static_cast<std::size_t>(channels), std::vector<double>(ringSize_)) {}

    std::int64_t received() const { return received_; }

    void appendSamples(int channel, const double* values, int count) override {
        if (channel < 0 || channel >= static_cast<int>(rings_.size()) || count <= 0)
            return;
        std::vector<double>& ring = rings_[static_cast<std::size_t>(channel)];
        const auto n = static_cast<std::size_t>(std::min(count, maxChunkValues));
        // Up to the ring's end, and the rest from its start.
        const std::size_t offset = slot(received_);
        const std::size_t head = std::min(n, ringSize_ - offset);
        std::copy_n(values, head, ring.begin() + static_cast<std::ptrdiff_t>(offset));
        std::copy_n(values + head, n - head, ring.begin());
    }

    void framesLost(int atValue, std::int64_t frames, int substitutes) override {
        losses_.push_back({received_ + atValue, frames, substitutes});
    }

    bool advance(int count) override {
        count = std::max(0, std::min(count, maxChunkValues));
        const std::int64_t first = received_;
        received_ += count;
        if (!gate_.fired() && index_ == gate_.condition_.graph)
            watch(first);
        if (!gate_.fired()) {
            dropLossesBefore(received_ - static_cast<std::int64_t>(ringSize_));
            return false;
        }
        return forward();
    }

    // Hands the graph what it has not had yet, from the event's history on; true when the
    // graph's window is full.
    bool forward() {
        const std::int64_t start =
            std::max(forwarded_, gate_.firedAt_ - gate_.condition_.preTrigger);
        bool full = false;
        std::int64_t at = start;
        while (at < received_) {
            // A piece ends at the ring's end, and holds at most a chunk's values.
            const std::size_t offset = slot(at);
            const auto piece = static_cast<int>(std::min<std::int64_t>(
                {received_ - at, static_cast<std::int64_t>(ringSize_ - offset), maxChunkValues}));
            for (const Loss& loss : losses_)
                if (loss.at >= at && loss.at < at + piece)
                    graph_.framesLost(static_cast<int>(loss.at - at), loss.frames,
                                      loss.substitutes);
            for (std::size_t c = 0; c < rings_.size(); ++c)
                graph_.appendSamples(static_cast<int>(c), rings_[c].data() + offset, piece);
            full = graph_.advance(piece) || full;
            at += piece;
        }
        forwarded_ = received_;
        losses_.clear();
        return full;
    }

private:
    struct Loss {
        std::int64_t at = 0; // sample index since the gate was armed
        std::int64_t frames = 0;
        int substitutes = 0;
    };

    std::size_t slot(std::int64_t sample) const {
        return static_cast<std::size_t>(sample % static_cast<std::int64_t>(ringSize_));
    }

    // Looks for the event among the samples from `first` on of the triggering channel.
    void watch(std::int64_t first) {
        const TriggerCondition& c = gate_.condition_;
        if (c.channel < 0 || c.channel >= static_cast<int>(rings_.size()))
            return;
        const std::vector<double>& ring = rings_[static_cast<std::size_t>(c.channel)];
        // The event needs its full history before it.
        for (std::int64_t i = std::max(first, std::int64_t{1}); i < received_; ++i) {
            if (i < c.preTrigger)
                continue;
            const double before = ring[slot(i - 1)];
            const double value = ring[slot(i)];
            const bool rising = before < c.level && value >= c.level;
            const bool falling = before > c.level && value <= c.level;
            if ((rising && c.slope != TriggerSlope::Falling) ||
                (falling && c.slope != TriggerSlope::Rising)) {
                gate_.fire(i);
                return;
            }
        }
    }

    void dropLossesBefore(std::int64_t sample) {
        losses_.erase(std::remove_if(losses_.begin(), losses_.end(),
                                     [sample](const Loss& loss) { return loss.at < sample; }),
                      losses_.end());
    }

    TriggerGate& gate_;
    int index_;
    SampleTarget& graph_;
    std::size_t ringSize_;
    std::vector<std::vector<double>> rings_;
    std::vector<Loss> losses_;
    std::int64_t received_ = 0;
    std::int64_t forwarded_ = 0;
};

TriggerGate::TriggerGate(const TriggerCondition& condition,
                         const std::vector<SampleTarget*>& graphs,
                         const std::vector<int>& channelsPerGraph)
    : condition_(condition) {
    condition_.preTrigger = std::max(0, condition_.preTrigger);
    for (std::size_t g = 0; g < graphs.size() && g < channelsPerGraph.size(); ++g)
        feeds_.push_back(std::make_unique<Feed>(*this, static_cast<int>(g), *graphs[g],
                                                channelsPerGraph[g], condition_.preTrigger));
}

TriggerGate::~TriggerGate() = default;

std::int64_t TriggerGate::received() const {
    return feeds_.empty() ? 0 : feeds_.front()->received();
}

std::vector<SampleTarget*> TriggerGate::targets() const {
    std::vector<SampleTarget*> targets;
    for (const std::unique_ptr<Feed>& feed : feeds_)
        targets.push_back(feed.get());
    return targets;
}

void TriggerGate::fire(std::int64_t at) {
    firedAt_ = at;
    // The graphs before the triggering one have had this chunk already; the others forward it
    // when it reaches them.
    for (int g = 0; g < condition_.graph && g < static_cast<int>(feeds_.size()); ++g)
        feeds_[static_cast<std::size_t>(g)]->forward();
}
