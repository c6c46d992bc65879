#include "GraphTestSupport.h"

#include "graph/CurvePlotter.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Lines = std::vector<std::vector<int>>;

// Plot area (100, 0) to (200, 100); x = 100 + scaleX * seconds, y = 50 - value; 1 sample/s.
Lines plot(double scaleX, const std::vector<double>& samples, double t0 = 0.0, double t1 = 100.0) {
    std::vector<Drawn> log;
    RecordingPainter painter(log);
    const PlotFrame frame{{scaleX, -1.0}, {100.0, 50.0}, {100.0, 0.0}, {200.0, 100.0}};
    plotCurve(painter, frame, SampleSeries{samples.data(), static_cast<int>(samples.size()), 1.0},
              t0, t1);
    Lines lines;
    for (const Drawn& d : log)
        lines.push_back(d.coordinates());
    return lines;
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

TEST(CurvePlotterTest, ValuesThatAreNotANumberHideNothingAndBreakTheCurveWhereAlone) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Two samples per column: the not-a-number at the start of the second column leaves its
    // other sample; the third column has nothing else and is left out, unjoined.
    const auto lines = plot(0.5, {0.0, nan, 10.0, nan, nan, 20.0, 20.0});
    EXPECT_EQ(std::vector<std::vector<int>>(lines.begin(), lines.begin() + 3),
              plot(0.5, {0.0, 10.0, 10.0}));
    // Column 103 stands alone: nothing at the top edge (y = 0), no join to column 101.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], (std::vector<int>{103, 30, 104, 30}));
}
