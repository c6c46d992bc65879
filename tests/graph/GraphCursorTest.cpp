// Cursors on real graphs, placed through the panel's mouse routing: they stay on the data
// through zooms, are shared by the time graphs while the X axes are synchronised, and read the
// channels' values between samples.

#include "GraphTestSupport.h"
#include "signal/Units.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Pixel column of a time in the fixture's initial view: 480 pixels per second from x = 120.
double columnOf(double seconds) {
    return 120.0 + 480.0 * seconds;
}

std::vector<std::string> texts(const std::vector<Drawn>& log) {
    std::vector<std::string> found;
    for (const Drawn& d : ofKind(log, "text"))
        found.push_back(d.text);
    return found;
}

bool contains(const std::vector<std::string>& all, const std::string& text) {
    return std::find(all.begin(), all.end(), text) != all.end();
}

} // namespace

TEST(GraphCursorTest, PlacedGrabbedSharedAndReadBetweenSamples) {
    GraphFixture f(100, 1.0f);
    GraphData secondRecord = f.record;
    KLib::Ref<Graph> second = f.server->createGraph(f.inputs, secondRecord);
    f.server->setSyncXAxis(true);
    std::vector<double> a(100), b(100);
    for (int i = 0; i < 100; ++i) {
        a[static_cast<size_t>(i)] = 2.0 * i;
        b[static_cast<size_t>(i)] = -i;
    }
    f.graph->appendSamples(0, a.data(), 100);
    f.graph->appendSamples(1, b.data(), 50); // B holds half a window
    f.graph->advance(50);

    f.server->setMode(cursorMode);
    const auto click = [&](double x0, double x1) {
        f.server->mouseButton(x0, 100.0, true);
        if (x1 != x0)
            f.server->mouseMotion(x1, 100.0, true);
        f.server->mouseButton(x1, 100.0, false);
    };
    click(columnOf(0.025), columnOf(0.025));
    click(columnOf(0.0725), columnOf(0.0725));
    // Five pixels off the first cursor grabs it; the drag moves it to 0.05 s.
    click(columnOf(0.025) + 5.0, columnOf(0.05));
    EXPECT_EQ(f.record.cursors.first, 0.05);
    EXPECT_NEAR(f.record.cursors.second.value_or(0.0), 0.0725, 1e-12);
    EXPECT_EQ(secondRecord.cursors.first, 0.05);
    // A third press away from both moves the nearer one.
    click(columnOf(0.8), columnOf(0.8));
    EXPECT_NEAR(f.record.cursors.second.value_or(0.0), 0.8, 1e-12);
    click(columnOf(0.8), columnOf(0.0725));

    // Zooming moves the pixels, not the cursors.
    f.graph->zoomAt(300.0, 100.0, 0.5, 1.0);
    EXPECT_EQ(f.record.cursors.first, 0.05);

    std::vector<Drawn> log;
    RecordingPainter painter(log);
    f.graph->draw(painter);
    const std::vector<std::string> drawn = texts(log);
    const std::string degrees = " " + unitName(3);
    for (const std::string& expected :
         {std::string("t1 0.05000 s"), std::string("t2 0.07250 s"), std::string("t2-t1 0.02250 s"),
          std::string("1/(t2-t1) 44.4444 Hz"), "10.0000  14.5000  diff 4.50000" + degrees,
          "-5.00000  -7.25000  diff -2.25000" + degrees})
        EXPECT_TRUE(contains(drawn, expected)) << expected;

    // Beyond the samples the window has held, a channel has no value there.
    f.record.cursors.second = 0.7;
    log.clear();
    f.graph->draw(painter);
    EXPECT_TRUE(contains(texts(log), "10.0000  -  diff -" + degrees));

    f.graph->clearCursors();
    EXPECT_FALSE(secondRecord.cursors.any());
}
