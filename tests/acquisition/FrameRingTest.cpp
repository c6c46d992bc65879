#include "acquisition/FrameRing.h"

#include "AcquisitionTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

TEST(FrameRingTest, FramesWrapRoundTheEndAndComeOutWholeAndInOrder) {
    FrameRing ring(100);
    EXPECT_EQ(ring.store(countedFrames(10, 5).data(), 50, 10), 5);
    EXPECT_EQ(takeAll(ring), countedFrames(10, 5));
    // 80 bytes from index 50: 50 up to the end, 30 from the start; a trailing part frame is
    // not stored.
    EXPECT_EQ(ring.store(countedFrames(10, 9, 5).data(), 85, 10), 8);
    EXPECT_EQ(ring.writeIndex(), 30);
    EXPECT_EQ(takeAll(ring), countedFrames(10, 8, 5));
    EXPECT_TRUE(takeAll(ring).empty());
    EXPECT_EQ(ring.droppedFrames(), 0);
}

TEST(FrameRingTest, FullRingDropsNewFramesInsteadOfOverwriting) {
    FrameRing ring(100);
    // One byte always stays free, so 9 frames of 10 bytes fit.
    EXPECT_EQ(ring.store(countedFrames(10, 12).data(), 120, 10), 9);
    EXPECT_EQ(ring.droppedFrames(), 3);
    Bytes small(20);
    EXPECT_EQ(ring.takeAll(small.data(), 20), -1); // takes nothing
    EXPECT_EQ(takeAll(ring), countedFrames(10, 9));
    // Wrapped and partly full.
    EXPECT_EQ(ring.store(countedFrames(10, 5, 20).data(), 50, 10), 5);
    EXPECT_EQ(ring.store(countedFrames(10, 6, 25).data(), 60, 10), 4);
    EXPECT_EQ(ring.droppedFrames(), 5);
    EXPECT_EQ(takeAll(ring), countedFrames(10, 9, 20));
}

// The reader stores while the hand-over thread copies outside the ring's lock: every frame comes
// out whole and in order, or is counted as dropped.
TEST(FrameRingTest, StoringDuringATakeNeverTouchesTheBytesBeingCopied) {
    constexpr int frameSize = 16;
    constexpr std::uint32_t frames = 200000;
    FrameRing ring(64 * frameSize + 1);
    std::thread reader([&] {
        for (std::uint32_t first = 0; first < frames; first += 8) {
            FrameStream batch(frameSize);
            for (std::uint32_t i = first; i < first + 8; ++i)
                batch.frame(0).put(4, i, 4).put(8, ~i, 4).put(12, i * 2654435761u, 4);
            ring.store(batch.data(), 8 * frameSize, frameSize);
        }
    });
    std::int64_t taken = 0;
    std::int64_t next = 0; // the lowest frame number still to come
    Bytes dest(static_cast<std::size_t>(ring.capacity()));
    for (bool done = false; !done;) {
        done = taken + ring.droppedFrames() == frames;
        const int bytes = ring.takeAll(dest.data(), ring.capacity());
        for (int at = 0; at < bytes; at += frameSize) {
            std::uint32_t word[3];
            std::memcpy(word, dest.data() + at + 4, sizeof word);
            ASSERT_GE(word[0], next);
            ASSERT_EQ(word[1], ~word[0]);
            ASSERT_EQ(word[2], word[0] * 2654435761u);
            next = word[0] + 1;
            ++taken;
        }
    }
    reader.join();
    EXPECT_EQ(taken + ring.droppedFrames(), frames);
    EXPECT_GT(taken, 0);
}
