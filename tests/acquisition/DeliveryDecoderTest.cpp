#include "acquisition/DeliveryDecoder.h"

#include "AcquisitionTestSupport.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

namespace {

// Keeps channel 0's values; reports itself full once `capacity` values are committed.
struct Graph : SampleTarget {
    explicit Graph(int capacity) : capacity(capacity) {}
    void appendSamples(int channel, const double* values, int count) override {
        if (channel == 0)
            kept.insert(kept.end(), values, values + count);
    }
    bool advance(int count) override {
        committed += count;
        return committed >= capacity;
    }
    std::vector<double> kept;
    int capacity;
    int committed = 0;
};

// Frames of 9 bytes numbered by a 32-bit value at 3, read by every one of 16 channels, so that a
// piece of the record holds 2^21 / 16 frames.
constexpr int frameSize = 9;
constexpr int channels = 16;

Bytes numberedFrames(int first, int count) {
    FrameStream stream(frameSize);
    for (int i = first; i < first + count; ++i)
        stream.frame(i & 0xFFFF).put(3, static_cast<std::uint32_t>(i), 4);
    return stream.bytes;
}

// Plays every piece of the delivery into the graph as the user-interface thread does; returns
// the pieces played.
int playDelivery(DeliveryDecoder& decoding, const Bytes& frames, Graph& graph) {
    decoding.begin(frames.data(), static_cast<int>(frames.size()), 0, true);
    int pieces = 0;
    for (bool more = true; more;) {
        const StagedDelivery::Replay replay = decoding.replay({&graph}, more);
        ++pieces;
        if (replay.full)
            break;
        if (more)
            decoding.decodeNext();
    }
    decoding.finish();
    return pieces;
}

} // namespace

TEST(DeliveryDecoderTest, ALongBacklogArrivesWholeInPiecesAndAFullGraphSkipsTheRestUnlost) {
    ChannelRuntime index;
    index.source = {3, SignalEntry::Int32, false};
    index.factor = 1.0;
    DeliveryDecoder decoding;
    decoding.configure(frameSize, -1.0, 500000.0, {std::vector<ChannelRuntime>(channels, index)});

    const int backlog = 300000; // 0.6 s at 500 kS/s, the most the ring can hand over
    Graph unbounded(1 << 30);
    EXPECT_EQ(playDelivery(decoding, numberedFrames(0, backlog), unbounded), 3);
    ASSERT_EQ(unbounded.kept.size(), std::size_t(backlog));
    for (int i = 0; i < backlog; ++i)
        ASSERT_EQ(unbounded.kept[static_cast<std::size_t>(i)], i);

    // Full in the second piece: the chunk that filled it is the last played, the rest of the
    // delivery is skipped, and the next delivery follows without a loss.
    Graph window(150000);
    playDelivery(decoding, numberedFrames(backlog, backlog), window);
    EXPECT_EQ(window.kept.size(), 151552u); // 37 chunks of 4096 frames
    EXPECT_EQ(window.kept.back(), backlog + 151551);
    Graph next(1 << 30);
    playDelivery(decoding, numberedFrames(2 * backlog, 10), next);
    EXPECT_EQ(next.kept.front(), 2 * backlog);
    EXPECT_EQ(decoding.counts().lost, 0);
    EXPECT_EQ(decoding.counts().received, 2 * backlog + 10);
}
