#include "acquisition/Acquisition.h"
#include "acquisition/FrameDecoder.h"

#include "AcquisitionTestSupport.h"

#include <gtest/gtest.h>

#include <condition_variable>

namespace {

// Stands in for the window's event queue: the hand-over thread posts, the test thread waits.
class EventQueue {
public:
    void post() {
        std::lock_guard<std::mutex> guard(lock_);
        ++posted_;
        signal_.notify_all();
    }
    bool await(int count) { // the count-th event, counted from 1
        std::unique_lock<std::mutex> guard(lock_);
        return signal_.wait_for(guard, std::chrono::seconds(60), [&] { return posted_ >= count; });
    }

private:
    std::mutex lock_;
    std::condition_variable signal_;
    int posted_ = 0;
};

Bytes delivered(const Acquisition& acquisition) {
    const std::uint8_t* bytes = acquisition.transferBuffer();
    return Bytes(bytes, bytes + acquisition.deliveredBytes());
}

} // namespace

TEST(AcquisitionTest, EveryTickIsAnsweredOnceTheLastDeliveryIsReleased) {
    const Bytes stream = countedFrames(7, 50, 65520);
    ScriptedPipe pipe;
    pipe.script({part(stream, 0, 100), ScriptedPipe::failure, part(stream, 100, 350)});
    EventQueue events;
    Acquisition acquisition([&] { events.post(); }, 10000);
    ASSERT_TRUE(acquisition.running());
    acquisition.setFrameSize(7);
    acquisition.setDataPipe(&pipe);
    acquisition.setRecordingMode(1);
    ASSERT_TRUE(eventually([&] { return pipe.reads() > 3; }));
    acquisition.requestData();
    ASSERT_TRUE(events.await(1));
    EXPECT_EQ(delivered(acquisition), stream);

    // While the delivery is held, ticks wait; the buffer stays as delivered.
    const int readsBefore = pipe.script({countedFrames(7, 2, 70)});
    ASSERT_TRUE(eventually([&] { return pipe.reads() > readsBefore + 1; }));
    acquisition.requestData();
    acquisition.requestData();
    EXPECT_TRUE(acquisition.dataWanted());
    EXPECT_EQ(delivered(acquisition), stream);
    acquisition.releaseTransferBuffer();
    ASSERT_TRUE(events.await(2));
    EXPECT_EQ(delivered(acquisition), countedFrames(7, 2, 70));
    acquisition.releaseTransferBuffer();

    // Nothing new is still answered, with 0 bytes.
    acquisition.requestData();
    ASSERT_TRUE(events.await(3));
    EXPECT_EQ(acquisition.deliveredBytes(), 0);
    acquisition.setDataPipe(nullptr);
}

TEST(AcquisitionTest, FramesTheRingDropsAreCountedExactlyEvenWhenTheCounterComesRound) {
    // The user-interface thread falls behind: the ring holds 4 frames of 5 bytes only. It drops
    // 65536 frames, which the 16-bit counter cannot show, and the box loses 3 more.
    FrameRing ring(21);
    Handover handover(ring.capacity());
    EXPECT_EQ(ring.store(countedFrames(5, 4 + 65536).data(), 5 * (4 + 65536), 5), 4);
    handover.requestData();
    ASSERT_TRUE(handover.fill(ring));
    EXPECT_EQ(handover.droppedBehind(), 65536);
    handover.requestData();
    EXPECT_FALSE(handover.fill(ring)); // not while the delivery is held

    struct : SampleTarget {
        void appendSamples(int, const double*, int) override {}
        bool advance(int count) override {
            values += count;
            return false;
        }
        int values = 0;
    } graph;
    FrameDecoder decoder;
    decoder.configure(5, 0.0, 1000.0);
    decoder.decode(handover.bytes(), 4, {{&graph, nullptr}});
    decoder.noteDroppedFrames(handover.droppedBehind());
    handover.release();

    ring.store(countedFrames(5, 2, 4 + 65536 + 3).data(), 10, 5);
    ASSERT_TRUE(handover.fill(ring));
    EXPECT_EQ(handover.droppedBehind(), 0);
    const DecodeResult result = decoder.decode(handover.bytes(), 2, {{&graph, nullptr}});
    EXPECT_EQ(result.status, DecodeStatus::SampleError);
    EXPECT_EQ(decoder.lostFrames(), ring.droppedFrames() + 3);
    // Substitutes up to the limit of one gap, the rest counted as unfilled.
    EXPECT_EQ(graph.values, 6 + FrameDecoder::maxGapFill);
    EXPECT_EQ(decoder.unfilledFrames(), 65539 - FrameDecoder::maxGapFill);
}
