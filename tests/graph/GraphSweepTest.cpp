#include "GraphTestSupport.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// A window of 50 samples at 100 samples per second.
struct SweepFixture : GraphFixture {
    SweepFixture() : GraphFixture(100, 0.5f) {}
    void feed(std::vector<double> values) {
        graph->appendSamples(0, values.data(), static_cast<int>(values.size()));
    }
    void feedRamp(int count, double first) {
        std::vector<double> values(static_cast<size_t>(count));
        std::iota(values.begin(), values.end(), first);
        feed(values);
    }
};

} // namespace

TEST(GraphSweepTest, WindowFollowsRateAndDisplayTime) {
    SweepFixture f;
    EXPECT_EQ(f.graph->capacity(), 50);
    EXPECT_DOUBLE_EQ(f.graph->timing().dt, 0.01);
    f.inputs.displayTime = 0.05f; // 5 samples: the window still holds 10
    f.graph->rebuild();
    EXPECT_EQ(f.graph->capacity(), 10);
    // A display time computed from 23 loaded samples at 10 Hz gives them back, although
    // 2.3f lies slightly below 2.3.
    f.inputs.rate = 10;
    f.inputs.displayTime = 23.0f / 10.0f;
    f.graph->rebuild();
    EXPECT_EQ(f.graph->capacity(), 23);
    f.inputs.rate = 0; // counts as 1 sample per second, not an infinite sample period
    f.graph->rebuild();
    EXPECT_DOUBLE_EQ(f.graph->timing().dt, 1.0);
}

TEST(GraphSweepTest, AdvanceCommitsAppendedSamples) {
    SweepFixture f;
    f.feed({1.5, -2.0, 4.0});
    const double stray = 9.0;
    f.graph->appendSamples(2, &stray, 1); // no such channel: ignored
    EXPECT_EQ(f.graph->writeIndex(), 0);
    EXPECT_FALSE(f.graph->advance(3));
    const ChannelTrace& trace = f.graph->traces()[0];
    // The newest value is repeated after it and becomes the live value.
    EXPECT_EQ(trace.samples[3], 4.0);
    EXPECT_EQ(trace.currentValue, 4.0);
    EXPECT_EQ(trace.observedMin, -2.0);
    EXPECT_EQ(trace.observedMax, 4.0);
    double copied[5] = {};
    EXPECT_EQ(f.graph->copySamples(0, 1, copied, 5), 2);
    EXPECT_EQ(copied[1], 4.0);
    EXPECT_EQ(f.graph->timing().highWater, 3);
}

TEST(GraphSweepTest, AFullWindowDropsSamplesUntilRestart) {
    SweepFixture f;
    f.feedRamp(60, 0.0);
    EXPECT_TRUE(f.graph->advance(60));
    EXPECT_EQ(f.graph->writeIndex(), 50);
    f.feed({1000.0});
    EXPECT_TRUE(f.graph->advance(1));
    EXPECT_EQ(f.graph->traces()[0].observedMax, 49.0);

    // The next sweep writes from the left; the rest still holds the last sweep, which is not
    // this sweep's data: a copy ends at the write position.
    f.graph->restart();
    f.feedRamp(5, 100.0);
    EXPECT_FALSE(f.graph->advance(5));
    std::vector<double> copied(60, -1.0);
    EXPECT_EQ(f.graph->copySamples(0, 0, copied.data(), 60), 5);
    EXPECT_EQ(copied[4], 104.0);
    EXPECT_EQ(copied[5], -1.0);
    EXPECT_EQ(f.graph->traces()[0].samples[6], 6.0);
    // A rebuild at the same rate (a channel edited, a setting applied) keeps the sweep's data.
    f.graph->rebuild();
    EXPECT_EQ(f.graph->copySamples(0, 0, copied.data(), 60), 5);

    // A rebuild keeps the samples; a smaller window holds fewer.
    f.graph->rebuild();
    EXPECT_EQ(f.graph->traces()[0].samples[10], 10.0);
    EXPECT_EQ(f.graph->timing().highWater, 50);
    f.inputs.displayTime = 0.2f;
    f.graph->rebuild();
    EXPECT_EQ(f.graph->timing().highWater, 20);
    EXPECT_EQ(f.graph->copySamples(0, 0, copied.data(), 60), 5);
    // At another rate the samples belong to other times.
    f.inputs.rate = 200;
    f.graph->rebuild();
    EXPECT_EQ(f.graph->copySamples(0, 0, copied.data(), 60), 0);
}

TEST(GraphSweepTest, OutOfRangeNeedsTheFlagAndAProperRange) {
    SweepFixture f;
    f.record.stopOnOutOfRange = true;
    f.record.minValue = "-1 V";
    f.record.maxValue = "1";
    f.feed({0.5, -0.5});
    f.graph->advance(2);
    EXPECT_FALSE(f.graph->isOutOfRange());
    f.feed({1.5});
    f.graph->advance(1);
    EXPECT_TRUE(f.graph->isOutOfRange());
    f.graph->restart(); // keeps the observed ranges
    EXPECT_TRUE(f.graph->isOutOfRange());
    f.record.minValue = f.record.maxValue = "0";
    EXPECT_FALSE(f.graph->isOutOfRange());
    f.record.minValue = "-1";
    f.record.maxValue = "1";
    f.record.stopOnOutOfRange = false;
    EXPECT_FALSE(f.graph->isOutOfRange());
    f.record.stopOnOutOfRange = true;
    f.graph->rebuild();
    EXPECT_FALSE(f.graph->isOutOfRange());
    f.feed({-1.25});
    f.graph->advance(1);
    EXPECT_TRUE(f.graph->isOutOfRange());
}
