#include "acquisition/FrameDecoder.h"

#include "AcquisitionTestSupport.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<double>;

// Keeps what it is given; reports itself full once `capacity` values are committed.
struct Graph : SampleTarget {
    explicit Graph(int channelCount, int capacity = 1 << 30)
        : channels(static_cast<size_t>(channelCount)), capacity(capacity) {}
    void appendSamples(int channel, const double* values, int count) override {
        Values& kept = channels.at(static_cast<size_t>(channel));
        kept.insert(kept.end(), values, values + count);
    }
    bool advance(int count) override {
        advances.push_back(count);
        committed += count;
        return committed >= capacity;
    }
    std::vector<Values> channels;
    std::vector<int> advances;
    int capacity;
    int committed = 0;
};

struct StatusLog : StatusDisplay {
    void showStatus(DecodeStatus status) override { shown.push_back(status); }
    std::vector<DecodeStatus> shown;
};

ChannelRuntime channelAt(int offset, int kind, double factor = 1.0, int op = OperationNone) {
    ChannelRuntime record;
    record.source = {offset, kind, false};
    record.factor = factor;
    record.op = op;
    return record;
}

// Frames of 9 bytes: a 32-bit value at 3 (the frame's index) and a 16-bit one at 7 (its
// negative), read by channels 0 and 1.
struct Stream {
    FrameDecoder decoder;
    Graph graph{2};
    std::vector<ChannelRuntime> channels{channelAt(3, SignalEntry::Int32),
                                         channelAt(7, SignalEntry::Int16)};
    StatusLog status;
    int index = 0;

    explicit Stream(double substitute = -9.0) { decoder.configure(9, substitute, 1000.0); }
    DecodeResult decode(const std::vector<int>& counters) {
        FrameStream frames(9);
        for (int counter : counters) {
            frames.frame(counter).put(3, std::uint32_t(index), 4).put(7, std::uint32_t(-index), 2);
            ++index;
        }
        graph.channels.assign(2, {});
        return decoder.decode(frames.data(), frames.frames(), {{&graph, &channels}}, &status);
    }
};

std::vector<int> run(int first, int count, std::vector<int> tail = {}) {
    std::vector<int> counters;
    for (int i = 0; i < count; ++i)
        counters.push_back((first + i) & 0xFFFF);
    counters.insert(counters.end(), tail.begin(), tail.end());
    return counters;
}

} // namespace

TEST(FrameDecoderTest, EveryKindIsReadFromItsSlotInItsUnit) {
    // The usual box: HTL/TTL levels A, B and R (R arrives inverted), SinCos 0 analog A in mV,
    // SSI word 0 raw with scale 0.5, SinCos 1 position in degrees.
    Config config;
    resizeInputs(config.inputSettings, 2, 1, 1, 1);
    config.inputSettings.ssiInputs[0].words[0] = {32, false, SSIInputWordDetails::Raw, 0, 0, 0.5};
    GraphData& graph = addGraph(config);
    const int sources[][3] = {{2, 2, 1}, {2, 3, 1}, {2, 4, 1}, {0, 2, 16}, {3, 0, 1}, {1, 0, 3}};
    for (const auto& source : sources) {
        ChannelData& channel = addChannel(graph);
        channel.input = source[0];
        channel.channel = source[1];
        channel.unit = source[2];
    }
    ChannelSelection selection = computeChannelSelection(config);
    const auto& at = selection.slotOffsets;
    FrameStream stream(selection.frameSize);
    stream.frame(7).put(at[12], 0x01, 1).put(at[2], 16384, 2).put(at[13], 0xFFFFFFFF, 4);
    stream.put(at[5], 1024 * 4096, 4); // one turn
    stream.frame(8).put(at[12], 0x06, 1).put(at[2], 0x8000, 2).put(at[13], 40, 4);
    stream.put(at[5], 0xFFFFFC00, 4); // -1024 counts

    FrameDecoder decoder;
    decoder.configure(selection.frameSize, 0.0, 10000.0);
    Graph target(6);
    decoder.decode(stream.data(), 2, {{&target, &selection.graphChannels[0]}});
    EXPECT_EQ(target.channels[0], (Values{1.0, 0.0}));
    EXPECT_EQ(target.channels[1], (Values{0.0, 1.0}));
    EXPECT_EQ(target.channels[2], (Values{1.0, 0.0}));
    EXPECT_EQ(target.channels[3], (Values{312.5, -625.0}));
    EXPECT_EQ(target.channels[4], (Values{-0.5, 20.0}));
    EXPECT_EQ(target.channels[5], (Values{360.0, -360.0 / 4096}));
    EXPECT_EQ(target.advances, (std::vector<int>{2}));

    // A source the frame does not carry reads as 0, never beyond the frame.
    std::vector<ChannelRuntime> stray{channelAt(selection.frameSize - 2, SignalEntry::Int32)};
    decoder.resynchronise();
    decoder.decode(stream.data(), 2, {{&target, &stray}});
    EXPECT_EQ(target.channels[0], (Values{1.0, 0.0, 0.0, 0.0}));
}

TEST(FrameDecoderTest, LostFramesAreFilledAlikeInEveryChannel) {
    Stream jump;
    DecodeResult result = jump.decode({9, 10, 13, 14}); // frames 11 and 12 are lost
    EXPECT_EQ(jump.graph.channels[0], (Values{0, 1, -9, -9, 2, 3}));
    EXPECT_EQ(jump.graph.channels[1], (Values{0, -1, -9, -9, -2, -3}));
    EXPECT_EQ(jump.graph.advances, (std::vector<int>{6}));
    EXPECT_EQ(result.status, DecodeStatus::SampleError);
    EXPECT_STREQ(statusText(result.status), "sample error");
    EXPECT_EQ(jump.decoder.lostFrames(), 2);

    Stream wrap; // from 65534 to 1, frames 65535 and 0 are lost
    wrap.decode({65533, 65534, 1, 2});
    EXPECT_EQ(wrap.graph.channels[0], (Values{0, 1, -9, -9, 2, 3}));
    Stream clean;
    result = clean.decode({65534, 65535, 0, 1});
    EXPECT_EQ(clean.graph.channels[0].size(), 4u);
    EXPECT_STREQ(statusText(result.status), "Recording...");
}

TEST(FrameDecoderTest, CounterIsFollowedAcrossChunksAndDeliveriesUntilResynchronised) {
    Stream stream;
    DecodeResult result = stream.decode(run(0, 4096, {4099, 4100})); // gap opens chunk 2
    EXPECT_EQ(stream.graph.advances, (std::vector<int>{4096, 5}));
    EXPECT_EQ(part(stream.graph.channels[0], 4095, 4101), (Values{4095, -9, -9, -9, 4096, 4097}));
    EXPECT_EQ(stream.status.shown,
              (std::vector<DecodeStatus>{DecodeStatus::Recording, DecodeStatus::SampleError}));
    EXPECT_EQ(result.worst, DecodeStatus::SampleError);

    result = stream.decode({4103}); // the next delivery misses 4101 and 4102
    EXPECT_EQ(stream.graph.channels[1], (Values{-9, -9, -4098}));
    EXPECT_EQ(stream.decoder.lostFrames(), 5);

    stream.decoder.resynchronise(); // a new recording starts from any counter
    result = stream.decode({20, 21});
    EXPECT_EQ(stream.graph.channels[0].size(), 2u);
    EXPECT_EQ(result.status, DecodeStatus::Recording);
}

TEST(FrameDecoderTest, ChunksAreLimitedAndAFullGraphEndsTheDelivery) {
    Stream stream;
    stream.graph.capacity = 8000;
    Graph other(0);
    FrameStream frames(9);
    for (int counter : run(0, 10000))
        frames.frame(counter);
    DecodeResult result = stream.decoder.decode(
        frames.data(), 10000, {{&stream.graph, &stream.channels}, {&other, nullptr}, {}});
    EXPECT_EQ(stream.graph.advances, (std::vector<int>{4096, 4096}));
    EXPECT_EQ(other.advances, stream.graph.advances);
    EXPECT_TRUE(result.full);
    EXPECT_EQ(result.frames, 8192);
    EXPECT_EQ(stream.decoder.skippedFrames(), 1808);
    EXPECT_EQ(stream.graph.channels[0].size(), 8192u);

    // The skipped frames are no loss: the next delivery follows on from the last of them.
    result = stream.decode(run(10000, 3));
    EXPECT_EQ(result.status, DecodeStatus::Recording);
    EXPECT_EQ(stream.decoder.lostFrames(), 0);
}

TEST(FrameDecoderTest, HeavyLossIsShownAndStays) {
    Stream stream(-5.0);
    // 0 -> 30000: 29999 lost, filled up to the gap limit of 28671. 30000 -> 35000: 4999 lost,
    // of which only 4093 fit before the frame itself. The chunk is then full and the following
    // frames open the next chunk.
    stream.decode({0, 30000, 35000, 35001, 35002, 35010});
    EXPECT_EQ(stream.graph.advances, (std::vector<int>{maxChunkValues, 2 + 7 + 1}));
    EXPECT_TRUE(stream.decoder.heavyLoss());
    EXPECT_EQ(stream.decoder.lostFrames(), 29999 + 4999 + 7);
    EXPECT_EQ(stream.decoder.unfilledFrames(), (29999 - 28671) + (4999 - 4093));
    EXPECT_EQ(part(stream.graph.channels[0], 28671, 28674), (Values{-5, 1, -5}));
    EXPECT_EQ(part(stream.graph.channels[0], 32765, 32769), (Values{-5, 2, 3, 4}));
    EXPECT_EQ(stream.status.shown,
              (std::vector<DecodeStatus>{DecodeStatus::HeavyLoss, DecodeStatus::HeavyLoss}));
    EXPECT_STREQ(statusText(DecodeStatus::HeavyLoss), "Large amount of Package losses!");

    // A clean chunk still shows "Recording...", a later small loss the heavy-loss text.
    EXPECT_EQ(stream.decode({35011}).status, DecodeStatus::Recording);
    EXPECT_EQ(stream.decode({35013}).status, DecodeStatus::HeavyLoss);
}

TEST(FrameDecoderTest, CombinedPositionCountersAreUnwrapped) {
    // Channel 0 adds a counter that stays 0 to one that runs through the 32-bit wrap; channel 1
    // reads that counter plainly; channel 2 differentiates it.
    std::vector<ChannelRuntime> channels{channelAt(3, SignalEntry::Int32, 0.5, OperationAdd),
                                         channelAt(3, SignalEntry::Int32, 0.5),
                                         channelAt(3, SignalEntry::Int32, 1.0, 3)};
    channels[0].source2 = {7, SignalEntry::Int32, false};
    FrameDecoder decoder;
    decoder.configure(11, 1e9, 1000.0);
    Graph graph(3);
    int counter = 0;
    auto decode = [&](std::vector<std::uint32_t> raws) {
        FrameStream stream(11);
        for (std::uint32_t raw : raws)
            stream.frame(counter++).put(3, raw, 4).put(7, 0, 4);
        graph.channels.assign(3, {});
        decoder.decode(stream.data(), stream.frames(), {{&graph, &channels}});
    };
    constexpr double half = 1073741824.0; // 2^31 counts times 0.5
    decode({0x7FFFFFFF, 0x80000000, 0x80000001});
    EXPECT_EQ(graph.channels[0], (Values{half - 0.5, half, half + 0.5}));
    EXPECT_EQ(graph.channels[1][1], -half);
    EXPECT_EQ(graph.channels[2], (Values{2147483647000.0, 1000, 1000}));

    // Kept across deliveries and substitutes; down through the wrap; afresh after a reset.
    counter++;
    decode({0x80000002, 0x7FFFFFFF});
    EXPECT_EQ(graph.channels[0], (Values{2e9, half + 1, half - 0.5}));
    channels[0].resetUnwrap();
    decode({0x80000000});
    EXPECT_EQ(graph.channels[0], (Values{-half}));
}
