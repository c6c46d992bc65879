#include "GraphTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// 64 samples per second over one second, 4 pixels per sample from x = 120; y = 164 - 10 v.
struct DrawingFixture : GraphFixture {
    DrawingFixture() : GraphFixture(64, 1.0f) { view(256.0, 120.0, -10.0, 164.0); }
    void feed(int count, double value) {
        const std::vector<double> values(static_cast<size_t>(count), value);
        graph->appendSamples(0, values.data(), count);
        graph->appendSamples(1, values.data(), count);
    }
    std::vector<Drawn> draw() {
        std::vector<Drawn> log;
        RecordingPainter painter(log);
        graph->draw(painter);
        return log;
    }
};

// The columns touched by channel A's curve (blue lines left of the range bars).
std::vector<int> curveColumns(const std::vector<Drawn>& log) {
    std::vector<int> columns;
    for (const Drawn& d : ofKind(log, "line"))
        if (d.pen.colour == 0x0000FF && d.x1 < 600)
            for (int x = std::min(d.x1, d.x2); x <= std::max(d.x1, d.x2); ++x)
                columns.push_back(x);
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    return columns;
}

std::vector<int> span(int first, int last) {
    std::vector<int> columns;
    for (int x = first; x <= last; ++x)
        columns.push_back(x);
    return columns;
}

} // namespace

TEST(GraphDrawingTest, LiveDrawingClearsATenthAheadAndDrawsOnlyTheNewPiece) {
    DrawingFixture f;
    f.feed(10, 1.0);
    f.graph->advance(10);
    std::vector<Drawn>& screen = f.server->screen;
    // The gap runs from the start to 10 + 6 samples (x = 184), over the plot's height; the
    // curve ends one column before sample 10 (x = 160). No labels are drawn live.
    EXPECT_EQ(screen[0].coordinates(), (std::vector<int>{120, 14, 64, 300}));
    EXPECT_EQ(screen[1].kind, "clear");
    EXPECT_TRUE(ofKind(screen, "text").empty());
    EXPECT_EQ(curveColumns(screen), span(120, 159));

    f.server->drawHighlight(10, 10, 50, 50);
    screen.clear();
    f.feed(5, 2.0);
    f.graph->advance(5);
    // Only the new part of the gap is cleared: from x(16) to x(15 + 6) = 204. The highlight
    // is drawn again inside it before the clip ends.
    EXPECT_EQ(screen[0].kind, "clip");
    EXPECT_EQ(screen[0].coordinates(), (std::vector<int>{184, 14, 20, 300}));
    const auto unclip = std::find_if(screen.begin(), screen.end(),
                                     [](const Drawn& d) { return d.kind == "unclip"; });
    ASSERT_NE(unclip, screen.end());
    EXPECT_EQ((unclip - 1)->coordinates(), (std::vector<int>{10, 10, 40, 40}));
    // The new piece starts two columns early, redrawing the previous piece's last column.
    EXPECT_EQ(curveColumns(screen), span(158, 179));
    EXPECT_EQ(f.graph->traces()[0].currentValue, 2.0);

    // Filling the window draws nothing: the whole panel is repainted.
    screen.clear();
    f.feed(49, 3.0);
    EXPECT_TRUE(f.graph->advance(49));
    EXPECT_TRUE(screen.empty());
}

TEST(GraphDrawingTest, AfterRestartTheOldSweepStaysRightOfTheGap) {
    DrawingFixture f;
    f.feed(64, 1.0);
    f.graph->advance(64);
    f.graph->restart();
    f.feed(20, 3.0);
    f.graph->advance(20);
    // New data to one column before sample 20 (x = 200); old data from sample 26 (x = 224) to
    // the last sample (x = 372 to 375).
    std::vector<int> expected = span(120, 199);
    const std::vector<int> old = span(224, 375);
    expected.insert(expected.end(), old.begin(), old.end());
    EXPECT_EQ(curveColumns(f.draw()), expected);
}

// Many samples per pixel column, delivered in pieces that end anywhere inside a column, some of
// them held and drawn together: the pieces drawn live must add up to the same lines as one
// drawing of the whole sweep.
TEST(GraphDrawingTest, LivePiecesDrawWhatTheWholeSweepDraws) {
    GraphFixture f(48000, 1.0f); // 100 samples per column over the 480 columns
    f.view(480.0, 120.0, -100.0, 164.0);
    const int pieces[] = {1234, 777, 5001, 99, 3210, 4567, 250, 8000};
    int written = 0;
    for (std::size_t piece = 0; piece < std::size(pieces); ++piece) {
        const int count = pieces[piece];
        std::vector<double> values(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) // 1.37 periods per column
            values[static_cast<size_t>(i)] = std::sin((written + i) * 0.086);
        if (piece == 1)
            f.graph->holdLiveDrawing();
        f.graph->appendSamples(0, values.data(), count);
        f.graph->advance(count);
        if (piece == 4)
            f.graph->releaseLiveDrawing();
        written += count;
    }
    using Segment = std::vector<int>;
    auto segmentsOfA = [](const std::vector<Drawn>& log, int lastColumn) {
        std::set<Segment> segments;
        for (const Drawn& d : ofKind(log, "line"))
            if (d.pen.colour == 0x0000FF && std::max(d.x1, d.x2) <= lastColumn)
                segments.insert(d.x1 < d.x2 || (d.x1 == d.x2 && d.y1 <= d.y2)
                                    ? Segment{d.x1, d.y1, d.x2, d.y2}
                                    : Segment{d.x2, d.y2, d.x1, d.y1});
        return segments;
    };
    std::vector<Drawn> whole;
    RecordingPainter painter(whole);
    f.graph->draw(painter);
    const int lastLive = 120 + written / 100 - 2;
    const std::set<Segment> live = segmentsOfA(f.server->screen, lastLive);
    EXPECT_GT(live.size(), 2u * (written / 100 - 2));
    EXPECT_EQ(live, segmentsOfA(whole, lastLive));
}

TEST(GraphDrawingTest, GridLabelsWhiteBandAndFrame) {
    DrawingFixture f;
    // The left edge shows -0.03 s: the first X tick is k = -0, labelled without a sign.
    f.view(448.0, 133.44, -10.0, 164.0);
    f.record.stopOnOutOfRange = true;
    f.record.minValue = "-5";
    f.record.maxValue = "10";
    const std::vector<Drawn> log = f.draw();
    std::vector<std::string> xLabels;
    std::vector<std::string> yLabels;
    for (const Drawn& d : ofKind(log, "text")) {
        if (d.y1 == 317) // below the plot
            xLabels.push_back(d.text + "@" + std::to_string(d.x1));
        if (d.x1 + 6 * static_cast<int>(d.text.size()) == 117) // ending left of the plot
            yLabels.push_back(d.text + "@" + std::to_string(d.y1));
    }
    // Every second tick of 0.1 s (44.8 pixels), centred.
    EXPECT_EQ(xLabels, (std::vector<std::string>{"0.0@124", "0.2@214", "0.4@304", "0.6@393",
                                                 "0.8@483", "1.0@572"}));
    // Every 2 units from -15 to 15, centred on y = 164 - 10 v.
    ASSERT_EQ(yLabels.size(), 15u);
    EXPECT_EQ(yLabels.front(), "-14@299");
    EXPECT_EQ(yLabels[7], "0@159");
    EXPECT_EQ(yLabels.back(), "14@19");

    // White only between y(10) = 64 and y(-5) = 214; then the frame, outline only.
    const std::vector<Drawn> rects = ofKind(log, "rect");
    EXPECT_EQ(rects[0].coordinates(), (std::vector<int>{120, 64, 480, 150}));
    EXPECT_EQ(rects[0].brush.colour, whiteColour);
    EXPECT_EQ(rects[1].coordinates(), (std::vector<int>{120, 14, 481, 301}));
    EXPECT_FALSE(rects[1].brush.visible);
    f.record.maxValue = "-5"; // no proper range: all white
    EXPECT_EQ(ofKind(f.draw(), "rect")[0].coordinates(), (std::vector<int>{120, 14, 480, 300}));
}

TEST(GraphDrawingTest, LegendRangeBarsAndValueTexts) {
    DrawingFixture f;
    f.server->setLineWidth(3);
    std::vector<std::string> reported;
    f.graph->setValueCallback([&](const std::string& caption, double value) {
        reported.push_back(caption + "=" + std::to_string(value));
    });
    const double a[] = {-2.0, 5.0};
    const double b[] = {-100.0, 0.0};
    f.graph->appendSamples(0, a, 2);
    f.graph->appendSamples(1, b, 2);
    f.graph->advance(2);
    const std::vector<Drawn> log = f.draw();

    // A takes two rows (name and value), B one; each name follows a square of its colour.
    std::vector<std::string> legend;
    for (const Drawn& d : ofKind(log, "text"))
        if (d.x1 == 15)
            legend.push_back(d.text + "@" + std::to_string(d.y1));
    EXPECT_EQ(legend, (std::vector<std::string>{"A [\xB0]@5", "5.00000@17", "B [\xB0]@29"}));
    const std::vector<Drawn> rects = ofKind(log, "rect");
    EXPECT_EQ(rects[2].coordinates(), (std::vector<int>{5, 6, 8, 8}));
    EXPECT_EQ(rects[3].brush.colour, 0xFF0000);

    // Range bars right of the plot, 4 pixels apart for 3-pixel lines; B's minimum is limited
    // to the plot's bottom.
    std::vector<std::vector<int>> bars;
    for (const Drawn& d : ofKind(log, "line"))
        if (d.x1 > 600 && d.pen.width == 3)
            bars.push_back(d.coordinates());
    EXPECT_EQ(bars, (std::vector<std::vector<int>>{{603, 184, 603, 114}, {607, 314, 607, 164}}));

    f.server->screen.clear();
    f.graph->updateValueTexts();
    const std::vector<Drawn>& screen = f.server->screen;
    ASSERT_EQ(screen.size(), 4u);
    // The old value is cleared over a whole text line (font height 10).
    EXPECT_EQ(screen[0].coordinates(), (std::vector<int>{15, 17, 50, 10}));
    EXPECT_EQ(screen[3].text, "5.00000");
    EXPECT_EQ(reported, (std::vector<std::string>{"A=5.000000"}));

    f.record.channelList.clear();
    f.graph->rebuild();
    EXPECT_EQ(ofKind(f.draw(), "text").back().text, "click here");
}
