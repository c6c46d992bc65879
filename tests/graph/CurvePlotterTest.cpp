#include "GraphTestSupport.h"

#include "graph/CurvePlotter.h"
#include "graph/SampleEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using Lines = std::vector<std::vector<int>>;

// Plot area (100, 0) to (200, 100); x = 100 + scaleX * seconds, y = 50 - value; 1 sample/s.
Lines plot(const PlotFrame& frame, const SampleSeries& series, double t0, double t1) {
    std::vector<Drawn> log;
    RecordingPainter painter(log);
    plotCurve(painter, frame, series, t0, t1);
    Lines lines;
    for (const Drawn& d : log)
        lines.push_back(d.coordinates());
    return lines;
}

Lines plot(double scaleX, const std::vector<double>& samples, double t0 = 0.0, double t1 = 100.0) {
    const PlotFrame frame{{scaleX, -1.0}, {100.0, 50.0}, {100.0, 0.0}, {200.0, 100.0}};
    return plot(frame, SampleSeries{samples.data(), static_cast<int>(samples.size()), 1.0}, t0, t1);
}

} // namespace

TEST(CurvePlotterTest, FewSamplesAreDrawnAsSteps) {
    // 4 columns per sample; 500 lies above the plot and is drawn at its top edge.
    Lines verticals;
    Lines horizontals;
    for (const auto& l : plot(4.0, {0.0, 10.0, 10.0, 500.0}))
        (l[0] == l[2] ? verticals : horizontals).push_back(l);
    EXPECT_EQ(verticals, (Lines{{103, 50, 103, 40}, {111, 40, 111, 0}}));
    // Columns 101 to 115 each end a step; column 116 would need a fifth sample.
    ASSERT_EQ(horizontals.size(), 15u);
    EXPECT_EQ(horizontals[0], (std::vector<int>{100, 50, 101, 50}));
    EXPECT_EQ(horizontals[3], (std::vector<int>{103, 40, 104, 40}));
    EXPECT_EQ(horizontals[14], (std::vector<int>{114, 0, 115, 0}));
}

TEST(CurvePlotterTest, DenseSamplesGiveOneRangePerColumnJoinedToTheLast) {
    // Two samples per column: column c holds samples 2c - 1 and 2c, the first only sample 0.
    const Lines expected{
        {100, 50, 101, 50},                                         // {0}: one pixel
        {101, 40, 101, 50}, {101, 40, 100, 50},                     // {0, 10}
        {102, 30, 103, 30}, {102, 30, 101, 50},                     // {20, 20}
        {103, 30, 103, 80}, {103, 80, 102, 30},                     // {20, -30}
        {104, 45, 105, 45}, {104, 45, 103, 30}, {104, 45, 103, 80}, // {5}, the last
    };
    EXPECT_EQ(plot(0.5, {0.0, 0.0, 10.0, 20.0, 20.0, 20.0, -30.0, 5.0}), expected);
}

TEST(CurvePlotterTest, ColumnsWithoutASampleHoldThePreviousOne) {
    // 1.6 columns per sample: 6 columns for 4 samples, none left out, the curve not squeezed.
    std::vector<int> values;
    for (const auto& l : plot(1.6, {0.0, 10.0, 20.0, 30.0}))
        if (l[1] == l[3] && l[2] == l[0] + 1)
            values.push_back(50 - l[1]);
    EXPECT_EQ(values, (std::vector<int>{0, 0, 10, 20, 20, 30}));
}

TEST(CurvePlotterTest, ValuesThatAreNotANumberHideNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Two samples per column, as in the test above: the not-a-number at the start of the second
    // column leaves its other sample, the third column has nothing else and shows at the top.
    EXPECT_EQ(plot(0.5, {0.0, nan, 10.0, nan, nan, 20.0}),
              plot(0.5, {0.0, 10.0, 10.0, 100.0, 100.0, 20.0}));
}

TEST(CurvePlotterTest, SummariesDrawTheSamePixelsAsEverySample) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> samples(300000);
    for (size_t i = 0; i < samples.size(); ++i) {
        // A slow wave with noise, a rising stretch and now and then a value that is no number.
        samples[i] = i % 100000 < 30000
                         ? 1e-3 * static_cast<double>(i % 100000)
                         : 40.0 * std::sin(1e-4 * static_cast<double>(i)) + 8.0 * unit(random);
        if (random() % 5000 == 0)
            samples[i] = nan;
    }
    SampleEnvelope envelope;
    envelope.rebuild(samples.data(), samples.size());
    for (int view = 0; view < 200; ++view) {
        // Random zoom (about 0.5 to 30,000 samples per column), offset and part of the window,
        // the window ending anywhere.
        const int count = static_cast<int>(samples.size()) - static_cast<int>(random() % 50000);
        const double dt = 1e-3;
        const double scaleX = 1.0 / (dt * std::pow(10.0, 4.7 * unit(random) - 0.3));
        const double offsetX = 100.0 - scaleX * count * dt * unit(random);
        const PlotFrame frame{{scaleX, -1.0}, {offsetX, 50.0}, {100.0, 0.0}, {600.5, 100.0}};
        const double t0 = count * dt * (unit(random) - 0.2);
        const double t1 = t0 + count * dt * unit(random);
        const SampleSeries scanned{samples.data(), count, dt};
        SampleSeries summarised = scanned;
        summarised.envelope = &envelope;
        SCOPED_TRACE("view " + std::to_string(view));
        ASSERT_EQ(plot(frame, summarised, t0, t1), plot(frame, scanned, t0, t1));
    }
}
