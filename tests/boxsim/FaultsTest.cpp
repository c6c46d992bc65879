#include "BoxTestSupport.h"

#include "boxsim/BoxModel.h"
#include "boxsim/FaultPlan.h"

#include <gtest/gtest.h>

using namespace boxsim;
using namespace boxtest;

namespace {

// A box streaming 3-byte frames at 976.5625 frames/s from time 0.
BoxModel streamingBox(const FaultPlan& faults, size_t fifoBytes = 1 << 20) {
    BoxConfig config = steadyBox(1.0);
    config.faults = faults;
    config.fifoBytes = fifoBytes;
    BoxModel box(config);
    send(box, "OUT:USB:FREQ " + std::to_string(kExactRateValue) + "\nTRIGGER:RUN 1\n");
    return box;
}

std::vector<int> countersUntil(BoxModel& box, double now) {
    std::vector<int> counters;
    for (const std::string& frame : framesUntil(box, now)) {
        counters.push_back(counterOf(frame));
    }
    return counters;
}

// Each gap in the counters: (counter before the gap, frames missing).
std::vector<std::pair<int, int>> gaps(const std::vector<int>& counters) {
    std::vector<std::pair<int, int>> found;
    for (size_t i = 1; i < counters.size(); ++i) {
        const int missing = (counters[i] - counters[i - 1] + 65536) % 65536 - 1;
        if (missing != 0) {
            found.emplace_back(counters[i - 1], missing);
        }
    }
    return found;
}

} // namespace

TEST(FaultsTest, DropEveryNthFrameLeavesCounterGaps) {
    FaultPlan faults;
    faults.dropEvery = 4;
    BoxModel box = streamingBox(faults);
    const std::vector<int> counters = countersUntil(box, 0.0124); // frames 0 ... 11
    EXPECT_EQ(counters, (std::vector<int>{0, 1, 2, 4, 5, 6, 8, 9, 10}));
    EXPECT_EQ(box.framesLostByFaults(), 3u);
}

TEST(FaultsTest, BurstsLoseConsecutiveFramesPeriodically) {
    FaultPlan faults;
    ASSERT_TRUE(parseBurst("0.5:10", faults));
    BoxModel box = streamingBox(faults);
    // Bursts start with the first frames sampled at 0.5 s (frame 489), 1.0 s and 1.5 s.
    EXPECT_EQ(gaps(countersUntil(box, 1.6)),
              (std::vector<std::pair<int, int>>{{488, 10}, {976, 10}, {1464, 10}}));
    EXPECT_EQ(box.framesLostByFaults(), 30u);
}

TEST(FaultsTest, StallEitherLosesOrDelaysItsFrames) {
    FaultPlan faults;
    ASSERT_TRUE(parseStall("0.5:200:drop", faults));
    BoxModel dropping = streamingBox(faults);
    EXPECT_EQ(gaps(countersUntil(dropping, 1.0)), (std::vector<std::pair<int, int>>{{488, 195}}));

    ASSERT_TRUE(parseStall("0.5:200:late", faults));
    BoxModel late = streamingBox(faults);
    EXPECT_EQ(countersUntil(late, 0.6).size(), 488u); // frames complete before 0.5 s only
    EXPECT_TRUE(countersUntil(late, 0.69).empty());
    const std::vector<int> burst = countersUntil(late, 0.71); // all that was held back
    EXPECT_EQ(burst.size(), 693u - 488u);
    EXPECT_EQ(burst.front(), 488);
    EXPECT_TRUE(gaps(burst).empty());
    EXPECT_EQ(late.framesLostByFaults(), 0u);
}

TEST(FaultsTest, VanishingAfterSecondsOfStreamingOverAllRuns) {
    FaultPlan faults;
    faults.vanishAfterSeconds = 0.5;
    BoxModel box = streamingBox(faults);
    EXPECT_EQ(countersUntil(box, 0.3).size(), 292u);
    send(box, "TRIGGER:RUN 0\n", 0.3);
    box.advance(5.0); // standing still does not count
    EXPECT_FALSE(box.vanished());
    send(box, "TRIGGER:RUN 1\n", 5.0);
    const std::vector<std::string> rest = framesUntil(box, 6.0);
    EXPECT_TRUE(box.vanished());
    EXPECT_EQ(rest.size(), 195u); // 0.2 s more
    EXPECT_TRUE(framesUntil(box, 7.0).empty());
}

TEST(FaultsTest, WrongIdentificationAndEmptyCapabilities) {
    BoxModel box;
    box.faults().identification = "TorvenKellmar,ORVA 2 USB,1,V1.9";
    box.faults().emptyCapabilities = true;
    EXPECT_EQ(send(box, "*IDN?\nKELLMAR:CAP?\n"), "TorvenKellmar,ORVA 2 USB,1,V1.9\n\n");
}

TEST(FaultsTest, FullSampleMemoryLosesWholeFrames) {
    BoxModel box = streamingBox(FaultPlan(), 30); // room for ten 3-byte frames
    box.advance(1.0);                             // the host does not read for a second
    EXPECT_EQ(box.waitingBytes(), 30u);
    EXPECT_EQ(box.framesLostByOverflow(), 976u - 10u);
    std::vector<int> counters;
    for (const std::string& frame : splitFrames(box.takeFrames(7), 3)) {
        counters.push_back(counterOf(frame)); // only whole frames come out
    }
    EXPECT_EQ(counters, (std::vector<int>{0, 1}));
    counters = countersUntil(box, 1.0245); // 24 frames more are due; room for two
    EXPECT_EQ(counters.size(), 8u + 2u);
    EXPECT_EQ(gaps(counters), (std::vector<std::pair<int, int>>{{9, 966}}));

    send(box, "TRIGGER:RUN 0\n", 1.1); // a stopped run leaves nothing behind
    EXPECT_EQ(box.waitingBytes(), 0u);
}

TEST(FaultsTest, FaultTextsAreChecked) {
    FaultPlan plan;
    EXPECT_TRUE(parseStall("2:300", plan));
    EXPECT_EQ(plan.stallEnd, FaultPlan::StallEnd::DropMissed);
    EXPECT_EQ(plan.stallMilliseconds, 300.0);
    for (const char* bad : {"2", "2:0", "-1:300", "2:300:later", "2:300:late:1", "x:300"}) {
        EXPECT_FALSE(parseStall(bad, plan)) << bad;
    }
    for (const char* bad : {"1", "0:5", "1:0", "1:2.5", "1:5:1"}) {
        EXPECT_FALSE(parseBurst(bad, plan)) << bad;
    }
}

TEST(ShaftTest, PositionIsTheIntegralOfTheSpeedProfile) {
    const Shaft steady(*parseSpeedProfile("constant:-3"));
    EXPECT_DOUBLE_EQ(steady.at(2.0).turns, -6.0);

    const Shaft ramp(*parseSpeedProfile("ramp:0:10:2"));
    EXPECT_DOUBLE_EQ(ramp.at(1.0).turnsPerSecond, 5.0);
    EXPECT_DOUBLE_EQ(ramp.at(2.0).turns, 10.0); // average 5 turns/s for 2 s
    EXPECT_DOUBLE_EQ(ramp.at(3.0).turns, 20.0);
    EXPECT_DOUBLE_EQ(ramp.at(3.0).turnsPerSecond, 10.0);

    const Shaft wobbling; // 5 + 2 sin(2 pi t / 4 s) turns/s
    EXPECT_DOUBLE_EQ(wobbling.at(1.0).turnsPerSecond, 7.0);
    EXPECT_NEAR(wobbling.at(4.0).turns, 20.0, 1e-9); // the wobble cancels over a period
    // Numerically differentiated position agrees with the speed.
    const double t = 1.3;
    EXPECT_NEAR((wobbling.at(t + 1e-6).turns - wobbling.at(t - 1e-6).turns) / 2e-6,
                wobbling.at(t).turnsPerSecond, 1e-6);

    for (const char* bad : {"", "constant", "constant:1:2", "ramp:0:1:0", "sine:5:2", "spin:1"}) {
        EXPECT_FALSE(parseSpeedProfile(bad)) << bad;
    }
}
