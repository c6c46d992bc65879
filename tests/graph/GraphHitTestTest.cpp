#include "GraphTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The code and rectangle at a point of the 612 x 331 viewport of GraphFixture.
std::vector<double> hit(const Graph& graph, double x, double y) {
    const HitResult r = graph.hitTest(x, y);
    return {static_cast<double>(r.code), r.x1, r.y1, r.x2, r.y2};
}

double code(const Graph& graph, double x, double y) {
    return graph.hitTest(x, y).code;
}

using Hit = std::vector<double>;

} // namespace

TEST(GraphHitTestTest, PlotAndAxisBands) {
    GraphFixture f(100, 1.0f);
    const Graph& g = *f.graph;
    EXPECT_EQ(hit(g, 120, 14), (Hit{plotHit, 120, 14, 600, 314}));
    EXPECT_EQ(code(g, 599.5, 313.5), plotHit);
    EXPECT_EQ(hit(g, 600, 100), (Hit{viewportHit, 0, 0, 612, 331}));
    // X labels: from 30 pixels left of the plot to 2 right of it, one text line high.
    EXPECT_EQ(hit(g, 90, 317), (Hit{xAxisHit, 90, 317, 602, 327}));
    EXPECT_EQ(code(g, 601.5, 326.5), xAxisHit);
    EXPECT_EQ(code(g, 602, 320), viewportHit);
    EXPECT_EQ(code(g, 300, 316), viewportHit);
    // Y labels: a band 37 pixels wide over the whole height.
    EXPECT_EQ(hit(g, 80, 0), (Hit{yAxisHit, 80, 0, 117, 331}));
    EXPECT_EQ(code(g, 85, 320), yAxisHit);
    EXPECT_EQ(code(g, 117, 100), viewportHit);
    // The viewport's right and bottom edges lie outside.
    EXPECT_EQ(hit(g, 700, 10), (Hit{noHit, 0, 0, 0, 0}));
    EXPECT_EQ(code(g, 10, 331), noHit);
}

TEST(GraphHitTestTest, LegendRowsSkipValueRows) {
    GraphFixture f(100, 1.0f);
    const Graph& g = *f.graph;
    // A with its value text: rows at 5 and 17; B: row at 29. Rows are 12 pixels high.
    EXPECT_EQ(hit(g, 3, 5), (Hit{legendRowHit, 3, 5, 93, 17}));
    EXPECT_EQ(code(g, 50, 20), viewportHit);
    EXPECT_EQ(hit(g, 50, 30), (Hit{legendRowHit + 1, 3, 29, 93, 41}));
    EXPECT_EQ(code(g, 79, 40.5), legendRowHit + 1);
    EXPECT_EQ(code(g, 85, 35), yAxisHit); // tested first, it covers the rows' right end
    EXPECT_EQ(code(g, 2, 10), viewportHit);
    f.record.channelList[0].displayTextValue = false;
    EXPECT_EQ(hit(g, 50, 20), (Hit{legendRowHit + 1, 3, 17, 93, 29}));
    f.record.channelList.clear();
    EXPECT_EQ(hit(g, 10, 10), (Hit{clickHereHit, 3, 5, 93, 17}));
    EXPECT_EQ(code(g, 10, 20), viewportHit);
}
