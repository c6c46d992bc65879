#include "BoxTestSupport.h"

#include "boxsim/BoxModel.h"
#include "boxsim/SignalSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace boxsim;
using namespace boxtest;

namespace {

constexpr int kCountsPerTurn = 1024 * 4096; // default 1024 periods, 4096 counts per period

// A box turning steadily, streaming at 976.5625 frames/s with the given selection.
BoxModel runningBox(double turnsPerSecond, const std::string& selection,
                    const char* inputs = "sin2sq1ssi1ana1") {
    BoxModel box(steadyBox(turnsPerSecond, inputs));
    send(box,
         "OUT:USB:FREQ " + std::to_string(kExactRateValue) + "\n" + selection + "TRIGGER:RUN 1\n");
    return box;
}

} // namespace

TEST(BoxFramesTest, CounterCountsEveryFrameAcrossRunsAndWraps) {
    BoxModel box(steadyBox(1.0));
    send(box, "OUT:USB:FREQ -2147483648\nTRIGGER:RUN 1\n", 0.0); // 500000 frames/s
    const std::vector<std::string> first = framesUntil(box, 0.125);
    ASSERT_EQ(first.size(), 62500u);
    send(box, "TRIGGER:RUN 0\n", 0.125);
    EXPECT_TRUE(framesUntil(box, 0.5).empty()); // stopped

    send(box, "TRIGGER:RUN 1\n", 0.5);
    const std::vector<std::string> second = framesUntil(box, 0.625);
    ASSERT_EQ(second.size(), 62500u);
    std::vector<std::string> all = first;
    all.insert(all.end(), second.begin(), second.end());
    int wraps = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i].size(), 3u);
        EXPECT_EQ(static_cast<uint8_t>(all[i][0]), BoxModel::kFrameMarker);
        ASSERT_EQ(counterOf(all[i]), static_cast<uint16_t>(i)) << "frame " << i;
        wraps += i > 0 && counterOf(all[i]) == 0;
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(box.framesProduced(), 125000u);
}

TEST(BoxFramesTest, FramesComeInRealTimeAtTheSetRate) {
    BoxModel box = runningBox(1.0, "IN:1:SELECT 1\n");
    EXPECT_EQ(framesUntil(box, 1.0245).size(), 1000u); // 1.024 ms per frame
    EXPECT_EQ(framesUntil(box, 1.0245).size(), 0u);
    EXPECT_EQ(framesUntil(box, 2.0485).size(), 1000u);
}

TEST(BoxFramesTest, EncoderCountersFollowTheShaft) {
    // Input 1 SinCos with 1024 periods, input 2 SinCos with 2048, input 3 HTL/TTL with 1000.
    BoxConfig config = steadyBox(0.25);
    config.periods = {1024.0, 2048.0, 1000.0};
    BoxModel box(config);
    send(box, "OUT:USB:FREQ 4194304\nIN:1:SELECT 3\nIN:2:SELECT 1\nIN:3:SELECT 3\nTRIGGER:RUN 1\n");
    const std::vector<std::string> frames = framesUntil(box, 1.026);
    ASSERT_EQ(frames.size(), 1001u);
    // Frame 1000 is sampled at 1.024 s: the shaft is at 0.256 turns.
    const std::string& frame = frames[1000];
    EXPECT_EQ(readI32(frame, 3), 1073741);          // floor(0.256 * 1024 * 4096)
    EXPECT_EQ(readI32(frame, 11), 2 * 1073741 + 1); // floor(0.256 * 2048 * 4096)
    // The square-wave encoder counts its 4000 edges per turn in steps of 1024 counts.
    EXPECT_EQ(readI32(frame, 15), 1024 * 1024);
    // Velocity 0.25 turns/s in units of 4 * 976.5625 / (1024 * 2^20) turns/s.
    EXPECT_EQ(readI32(frame, 7), 68719);
    EXPECT_EQ(readI32(frame, 19), 67109); // the same in units for 1000 periods
    EXPECT_EQ(readI32(frames[0], 3), 0);

    // Running backwards the counter goes below zero and wraps like a 32-bit counter.
    BoxModel backwards = runningBox(-1.0, "IN:1:SELECT 1\n");
    EXPECT_EQ(readI32(framesUntil(backwards, 0.0025).at(1), 3), -4295); // -1.024 ms of a turn
    // Beyond 512 turns the 32-bit counter wraps: frame 586 at 600.064 turns.
    BoxModel fast = runningBox(1000.0, "IN:1:SELECT 1\n");
    EXPECT_EQ(readI32(framesUntil(fast, 0.602).at(586), 3), -1778116461); // 2516850835 - 2^32
}

TEST(BoxFramesTest, AnalogSignalsAreSineAndCosineOfTheElectricalAngle) {
    BoxModel box = runningBox(0.25, "IN:1:SELECT 12\n"); // A and B
    const std::vector<std::string> frames = framesUntil(box, 1.0);
    ASSERT_GT(frames.size(), 900u);
    int largestA = 0;
    for (const std::string& frame : frames) {
        const double a = readI16(frame, 3) * signals::kVoltsPerCount;
        const double b = readI16(frame, 5) * signals::kVoltsPerCount;
        EXPECT_NEAR(std::hypot(a, b), 0.5, 0.0001); // 1 Vpp on a circle
        largestA = std::max(largestA, std::abs(int(readI16(frame, 3))));
    }
    EXPECT_GT(largestA, 26000); // 0.5 V is 26214 counts
    // At a quarter signal period from the mark A is at its top and B at zero.
    const std::vector<int32_t> values = box.slotValues(1, 1.0 / 1024.0); // 0.25 turns/s
    EXPECT_NEAR(values[2], 26214, 2);
    EXPECT_NEAR(values[3], 0, 2);
}

TEST(BoxFramesTest, ReferencePulseComesOncePerTurn) {
    // 10 turns/s: the pulse lasts 0.1 ms, shorter than a frame, but is latched until the next.
    BoxModel box = runningBox(10.0, "IN:1:SELECT 16\nIN:3:SELECT 4\n");
    const std::vector<std::string> frames = framesUntil(box, 1.0);
    std::vector<size_t> sinCosPulses;
    std::vector<size_t> htlPulses;
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i][3] & ~signals::kBitR, 0);
        if (frames[i][3] & signals::kBitR) {
            sinCosPulses.push_back(i);
        }
        if (frames[i][4] & signals::kBitR) {
            htlPulses.push_back(i);
        }
    }
    ASSERT_EQ(sinCosPulses.size(), 10u); // turns 0 ... 9
    EXPECT_EQ(htlPulses, sinCosPulses);
    // An encoder whose R line is active low shows the same pulses as zeros.
    BoxConfig config = steadyBox(10.0);
    config.htlReferenceActiveLow = true;
    BoxModel inverted(config);
    send(inverted, "OUT:USB:FREQ 4194304\nIN:3:SELECT 4\nTRIGGER:RUN 1\n");
    const std::vector<std::string> invertedFrames = framesUntil(inverted, 1.0);
    for (size_t i = 0; i < invertedFrames.size(); ++i) {
        ASSERT_EQ((invertedFrames[i][3] & signals::kBitR) == 0,
                  (frames[i][4] & signals::kBitR) != 0);
    }
    for (size_t n = 0; n < sinCosPulses.size(); ++n) {
        EXPECT_NEAR(double(sinCosPulses[n]), n * kExactRate / 10.0, 1.0);
    }
}

TEST(BoxFramesTest, HtlLevelsAreQuadratureSquareWaves) {
    for (double speed : {0.01, -0.01}) { // 10.24 signal periods per second
        BoxModel box = runningBox(speed, "IN:3:SELECT 4\n");
        const std::vector<std::string> frames = framesUntil(box, 2.0);
        int highA = 0;
        int highB = 0;
        std::vector<int> states; // A/B as 2 bits, each change once
        for (const std::string& frame : frames) {
            const int ab = frame[3] & (signals::kBitA | signals::kBitB);
            highA += ab & signals::kBitA ? 1 : 0;
            highB += ab & signals::kBitB ? 1 : 0;
            if (states.empty() || states.back() != ab) {
                states.push_back(ab);
            }
        }
        EXPECT_NEAR(highA, int(frames.size()) / 2, 60);
        EXPECT_NEAR(highB, int(frames.size()) / 2, 60);
        ASSERT_GT(states.size(), 60u); // about 4 changes per period
        // Forwards A leads: 10 11 01 00; backwards the other way round.
        const std::vector<int> forward{1, 3, 2, 0};
        for (size_t i = 1; i < states.size(); ++i) {
            const size_t at =
                std::find(forward.begin(), forward.end(), states[i - 1]) - forward.begin();
            const int expected = speed > 0 ? forward[(at + 1) % 4] : forward[(at + 3) % 4];
            ASSERT_EQ(states[i], expected) << "change " << i;
        }
    }
}

TEST(BoxFramesTest, AnalogInputCarriesItsWaveform) {
    BoxModel box = runningBox(1.0, "IN:5:SELECT 1\n"); // default: 0.5 V, 50 Hz sine
    const std::vector<std::string> frames = framesUntil(box, 1.0);
    int largest = 0;
    for (const std::string& frame : frames) {
        largest = std::max(largest, std::abs(int(readI16(frame, 3))));
    }
    EXPECT_NEAR(largest * signals::kVoltsPerCount, 0.5, 0.01);
    EXPECT_EQ(box.slotValues(5, 0.005)[0], 26214); // a quarter period of 50 Hz: the top

    AnalogWave square{AnalogWave::Shape::Square, 1.0, 10.0};
    EXPECT_EQ(signals::analogInput(square, 0.01), 32767); // 1 V clips at the input's 0.625 V
    EXPECT_EQ(signals::analogInput(square, 0.06), -32768);
    AnalogWave triangle{AnalogWave::Shape::Triangle, 0.5, 1.0};
    EXPECT_EQ(signals::analogInput(triangle, 0.0), -26214);
    EXPECT_EQ(signals::analogInput(triangle, 0.5), 26214);
    EXPECT_EQ(signals::analogInput(triangle, 0.375), 13107);
}

TEST(BoxFramesTest, SsiWordsCarryPositionAndVelocity) {
    // Default encoder: 25-bit position (12 multi-turn, 13 single-turn bits), 16-bit velocity.
    for (double speed : {2.5, -2.5}) {
        BoxModel box = runningBox(speed, "IN:4:SELECT 7\n");
        send(box, "IN:4:WORDS 2\nIN:4:WORD0BITS 25\nIN:4:WORD1BITS 16\nIN:4:WORD2BITS 8\n"
                  "IN:4:SIGN 2\n");
        const std::vector<std::string> frames = framesUntil(box, 1.026);
        const std::string& frame = frames.at(1000);                     // at 1.024 s: +-2.56 turns
        const int32_t position = speed > 0 ? 20971 : (1 << 25) - 20972; // floor(+-2.56 * 8192)
        EXPECT_EQ(readI32(frame, 3), position);
        EXPECT_EQ(readI32(frame, 7), speed > 0 ? 819 : -819); // 2.5 turns/s, 2^15 = 100 turns/s
        EXPECT_EQ(readI32(frame, 11), 0);                     // only two words in use
    }
}

TEST(BoxFramesTest, ManualZeroZeroesTheChosenInputsFromNowOn) {
    BoxModel box = runningBox(0.25, "IN:1:SELECT 1\nIN:2:SELECT 1\nIN:3:SELECT 1\nIN:4:SELECT 3\n"
                                    "IN:4:WORDS 2\nIN:4:WORD0BITS 25\nIN:4:WORD1BITS 16\n");
    send(box, "IN:4:ZEROWORDS 1\n");
    ASSERT_EQ(box.layout().frameSize, 3 + 4 + 4 + 4 + 8);
    EXPECT_TRUE(send(box, "ACTION:MZERO 13\n", 1.024).empty()); // inputs 1, 3 and 4
    const std::vector<std::string> frames = framesUntil(box, 2.0485);
    ASSERT_EQ(frames.size(), 2000u);
    const std::string& atZero = frames[1000]; // sampled at 1.024 s, 0.256 turns
    const std::string& later = frames[1999];  // 0.255744 turns further
    EXPECT_EQ(readI32(atZero, 3), 0);
    EXPECT_EQ(readI32(atZero, 7), 1073741); // input 2 was not zeroed
    EXPECT_EQ(readI32(later, 3), 1072668);
    EXPECT_EQ(readI32(frames[999], 3), 1072668); // the same distance before the zero
    EXPECT_EQ(readI32(later, 11), 1048 * 1024);  // HTL/TTL edges
    EXPECT_EQ(readI32(later, 15), 2095);         // SSI position word, 8192 per turn
    EXPECT_EQ(readI32(later, 19), 82);           // the velocity word is not in ZEROWORDS

    // Backwards through the zero point the counter runs negative.
    BoxModel back = runningBox(-0.25, "IN:1:SELECT 1\n");
    send(back, "ACTION:MZERO 1\n", 0.5);
    EXPECT_EQ(readI32(framesUntil(back, 1.03).at(1000), 3), -549454);
}

TEST(BoxFramesTest, ReferenceZeroWaitsForTheNextMark) {
    BoxModel box = runningBox(1.0, "IN:1:SELECT 17\n");
    send(box, "ACTION:RZERO 1\n", 0.3);
    const std::vector<std::string> frames = framesUntil(box, 2.6);
    // The mark is passed at 1.0 s, between frame 976 (0.999424 s) and 977 (1.000448 s).
    EXPECT_EQ(readI32(frames[976], 3), 4191888);
    EXPECT_EQ(frames[976][7], 0);
    EXPECT_EQ(readI32(frames[977], 3), 1879);
    EXPECT_EQ(frames[977][7], signals::kBitR);
    EXPECT_EQ(readI32(frames[1953], 3), 4193767);
    // Zeroed once only: the next mark at 2.0 s changes nothing.
    EXPECT_EQ(readI32(frames[2441], 3), 6289711);
}
