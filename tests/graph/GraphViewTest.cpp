#include "GraphTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

TEST(GraphViewTest, ResizingKeepsTheVisibleRangeAndSyncSharesTheXAxis) {
    // The record's initial view shows 0 ... 1 s and -1 ... 3 units.
    GraphFixture f(100, 1.0f);
    EXPECT_EQ((std::vector<double>{f.record.scale.x, f.record.offset.x, f.record.scale.y,
                                   f.record.offset.y}),
              (std::vector<double>{480.0, 120.0, -75.0, 239.0}));
    GraphData second = f.record;
    KLib::Ref<Graph> other = f.server->createGraph(f.inputs, second);
    other->setViewport(0.0, 331.0, 312.0, 662.0);
    EXPECT_DOUBLE_EQ(other->frame().xValue(300.0), 1.0);
    EXPECT_DOUBLE_EQ(other->frame().yValue(345.0), 3.0);
    EXPECT_DOUBLE_EQ(other->frame().yValue(645.0), -1.0);
    // A panel too narrow for a plot area leaves the X axis as it was instead of losing it.
    other->setViewport(0.0, 331.0, 132.0, 662.0);
    other->setViewport(0.0, 331.0, 612.0, 662.0);
    EXPECT_DOUBLE_EQ(second.scale.x, 180.0);

    f.graph->move(10.0, 5.0);
    EXPECT_DOUBLE_EQ(second.offset.x, 120.0);
    // Shared once both have their plot areas.
    f.server->setSyncXAxis(true);
    EXPECT_DOUBLE_EQ(second.offset.x, 120.0);
    f.server->layout(612, 662);
    EXPECT_DOUBLE_EQ(second.scale.x, 480.0);
    EXPECT_DOUBLE_EQ(second.offset.x, 130.0);
    // An FFT axis or a zero scale leaves time graphs alone.
    f.server->broadcastXAxis(true, 1.0, 0.0);
    f.server->broadcastXAxis(false, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(second.scale.x, 480.0);
}

TEST(GraphViewTest, FitAndAutoScale) {
    GraphFixture f(100, 1.0f);
    f.graph->fitX();
    EXPECT_DOUBLE_EQ(f.record.scale.x, 479.52);
    // All zero: +-1e-5 plus 1 % either side, zero in the middle of 14 ... 314.
    EXPECT_TRUE(f.graph->autoScaleY());
    EXPECT_NEAR(f.record.scale.y, -300.0 / 2.04e-5, 1e-3);
    EXPECT_NEAR(f.record.offset.y, 164.0, 1e-9);
    EXPECT_FALSE(f.graph->autoScaleY());

    // A value that is not a number, even the very first, is left out: -2 ... 6 around 2.
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), -2.0, 6.0};
    f.graph->appendSamples(0, values, 3);
    EXPECT_TRUE(f.graph->autoScaleY());
    EXPECT_NEAR(f.graph->frame().yValue(164.0), 2.0, 1e-9);
    EXPECT_NEAR(f.graph->frame().yValue(14.0), 6.0 + 0.08, 1e-3);
}
