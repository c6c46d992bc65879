// The statistics table of a real time graph: figures over the samples on screen or between the
// cursors, against figures worked out by hand, with the substitutes for lost frames among them.

#include "diagview/StatisticsView.h"
#include "../graph/GraphTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(StatisticsViewTest, FiguresOfTheSpanOnScreenOrBetweenTheCursorsWithTheirSubstitutes) {
    GraphFixture f(100, 1.0f); // 100 samples, 0 ... 1 s on screen
    StatisticsView view(*f.server, f.record, f.graph);
    // A: 1000000 + (0, 1, 2, 3, 0, 1, 2, 3, ...): a small variation on a large value.
    std::vector<double> a(40);
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] = 1e6 + static_cast<double>(i % 4);
    const std::vector<double> b(40, -2.0);
    f.graph->appendSamples(0, a.data(), 20);
    f.graph->appendSamples(1, b.data(), 20);
    f.graph->advance(20);
    // Three frames lost before the 5th value of the next chunk, two of them written as
    // substitutes.
    f.graph->framesLost(4, 3, 2);
    f.graph->appendSamples(0, a.data() + 20, 20);
    f.graph->appendSamples(1, b.data() + 20, 20);
    f.graph->advance(20);

    // The window has held 40 samples; the gap of 10 ahead of them is not on screen.
    view.update();
    ASSERT_EQ(view.rows().size(), 2u);
    const SpanStatistics& onScreen = view.rows()[0].figures;
    EXPECT_EQ(onScreen.count(), 40);
    EXPECT_EQ(onScreen.minimum(), 1e6);
    EXPECT_EQ(onScreen.maximum(), 1e6 + 3.0);
    EXPECT_DOUBLE_EQ(onScreen.mean(), 1e6 + 1.5);
    EXPECT_NEAR(onScreen.deviation(), std::sqrt(1.25), 1e-9);
    EXPECT_NEAR(onScreen.rms(), std::sqrt((1e6 + 1.5) * (1e6 + 1.5) + 1.25), 1e-6);
    EXPECT_EQ(view.rows()[1].figures.rms(), 2.0);
    EXPECT_EQ(view.rows()[1].figures.deviation(), 0.0);
    EXPECT_EQ(view.substitutes(), 2);
    EXPECT_DOUBLE_EQ(view.to(), 0.39);

    // Between cursors at 0.05 s and 0.21 s: samples 5 ... 21, so the substitutes at 24 and 25
    // are outside.
    f.record.cursors = CursorPair{0.21, 0.05};
    view.update();
    const SpanStatistics& between = view.rows()[0].figures;
    EXPECT_EQ(between.count(), 17);
    EXPECT_DOUBLE_EQ(between.mean(), 1e6 + (1 + 2 + 3 + 3 * 6 + 0 + 1) / 17.0);
    EXPECT_EQ(view.substitutes(), 0);
    f.record.cursors = CursorPair{0.2, 0.3};
    view.update();
    EXPECT_EQ(view.substitutes(), 2);

    // The next sweep overwrites the substitutes; its gap runs over what is left of the old one.
    f.record.cursors = CursorPair{};
    f.graph->restart();
    f.graph->appendSamples(0, a.data(), 30);
    f.graph->appendSamples(1, b.data(), 30);
    f.graph->advance(30);
    view.update();
    EXPECT_EQ(view.substitutes(), 0);
    EXPECT_EQ(view.rows()[0].figures.count(), 30);
}
