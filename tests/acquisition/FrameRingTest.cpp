#include "acquisition/FrameRing.h"

#include "AcquisitionTestSupport.h"

#include <gtest/gtest.h>

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
