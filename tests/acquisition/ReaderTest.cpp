#include "acquisition/FrameReader.h"
#include "acquisition/USB_Thread.h"

#include "AcquisitionTestSupport.h"
#include "signal/ChannelSelection.h"

#include <gtest/gtest.h>

TEST(FrameReaderTest, CarryPlusAFullReadAlwaysFits) {
    // Full reads of the largest frame leave the largest carries; the address-sanitizer build
    // catches an overrun of the receive area.
    const Bytes stream = countedFrames(maxFrameSize, 2 * FrameReader::readSize / maxFrameSize + 1);
    ScriptedPipe pipe;
    pipe.script({part(stream, 0, FrameReader::readSize),
                 part(stream, FrameReader::readSize, 2 * FrameReader::readSize)});
    FrameRing ring;
    FrameReader reader;
    EXPECT_GE(reader.areaSize(), FrameReader::readSize + maxFrameSize);
    for (int read = 0; read < 2; ++read) {
        EXPECT_EQ(reader.receive(pipe, maxFrameSize), FrameReader::readSize);
        reader.deliver(ring);
    }
    const size_t whole = 2 * FrameReader::readSize / maxFrameSize * maxFrameSize;
    EXPECT_EQ(reader.carry(), 2 * FrameReader::readSize - int(whole));
    EXPECT_EQ(takeAll(ring), part(stream, 0, whole));
    EXPECT_EQ(pipe.lengths, (std::vector<int>{FrameReader::readSize, FrameReader::readSize}));

    // A new frame size drops the carry of the old layout; even an unknown large frame fits.
    EXPECT_EQ(reader.receive(pipe, 1000), 0);
    EXPECT_EQ(reader.carry(), 0);
    EXPECT_GE(reader.areaSize(), FrameReader::readSize + 1000);
}

TEST(USB_ThreadTest, IdleReaderLeavesThePipeAloneAndKeepsTheRingEmpty) {
    FrameRing ring(1000);
    ring.store(countedFrames(10, 4).data(), 40, 10);
    ScriptedPipe pipe;
    USB_Thread reader(ring);
    reader.setDataPipe(&pipe);
    reader.setFrameSize(10);
    ASSERT_TRUE(reader.start());
    ASSERT_TRUE(eventually([&] { return reader.passes() >= 3; }));
    EXPECT_EQ(ring.writeIndex(), 0);
    EXPECT_EQ(ring.readIndex(), 0);
    // Recording without a frame size does not read either.
    reader.setFrameSize(0);
    reader.setRecordingMode(1);
    const auto passes = reader.passes();
    ASSERT_TRUE(eventually([&] { return reader.passes() >= passes + 3; }));
    reader.stop();
    EXPECT_EQ(pipe.reads(), 0);
}

TEST(USB_ThreadTest, PartFramesSurviveTimeOutsAndFailuresAndAreCompleted) {
    const Bytes stream = countedFrames(9, 5, 100);
    ScriptedPipe pipe;
    pipe.script(
        {part(stream, 0, 4), {}, part(stream, 4, 22), ScriptedPipe::failure, part(stream, 22, 45)});
    FrameRing ring(1000);
    USB_Thread reader(ring);
    reader.setFrameSize(9);
    reader.setRecordingMode(2);
    ASSERT_TRUE(reader.start());
    const auto passes = reader.passes();
    ASSERT_TRUE(eventually([&] { return reader.passes() >= passes + 2; }));
    EXPECT_EQ(pipe.reads(), 0); // no pipe yet
    reader.setDataPipe(&pipe);
    // A read beyond the script starts only after the last scripted pass is complete.
    ASSERT_TRUE(eventually([&] { return pipe.reads() > 5; }));
    EXPECT_EQ(takeAll(ring), stream);

    ring.store(stream.data(), 9, 9);
    reader.setRecordingMode(0);
    ASSERT_TRUE(eventually([&] { return ring.writeIndex() == 0; }));
    reader.setDataPipe(nullptr);
}
