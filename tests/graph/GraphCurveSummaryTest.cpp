#include "GraphTestSupport.h"

#include "graph/CurvePlotter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

using Lines = std::vector<std::vector<int>>;

// The lines of the curve drawn in `colour`, without the range bars right of the plot.
Lines curveLines(const std::vector<Drawn>& log, int colour, double right) {
    Lines lines;
    for (const Drawn& d : ofKind(log, "line"))
        if (d.pen.colour == colour && d.x1 <= right + 1.0)
            lines.push_back(d.coordinates());
    return lines;
}

// What a complete drawing must show of a channel: every sample scanned column by column, the
// new sweep up to one column before the write position and, one tenth of the window further
// on, the rest of the previous sweep (the whole window before the first sample of a sweep).
Lines expectedCurve(const Graph& graph, size_t channel) {
    const PlotFrame frame = graph.frame();
    const ChannelTrace& trace = graph.traces()[channel];
    const double dt = graph.timing().dt;
    const int capacity = graph.capacity();
    const int written = graph.writeIndex();
    const SampleSeries series{trace.samples.data(), capacity, dt};
    std::vector<Drawn> log;
    RecordingPainter painter(log);
    plotCurve(painter, frame, series, 0.0, written * dt - 1.0 / frame.scale.x);
    const int gapEnd = written + capacity / 10;
    if (written == 0)
        plotCurve(painter, frame, series, 0.0, capacity * dt);
    else if (gapEnd < capacity)
        plotCurve(painter, frame, series, gapEnd * dt, capacity * dt);
    Lines lines;
    for (const Drawn& d : log)
        lines.push_back(d.coordinates());
    return lines;
}

// Chunks as the data handler delivers them: noise, constant, rising and falling stretches,
// values that are not a number.
std::vector<double> chunk(std::mt19937& random, size_t count) {
    std::uniform_real_distribution<double> value(-20.0, 20.0);
    std::vector<double> values(count);
    const int kind = static_cast<int>(random() % 5);
    const double start = value(random);
    const double slope = kind == 2 ? 1e-3 : -1e-3;
    for (size_t i = 0; i < count; ++i) {
        values[i] = kind == 0 ? value(random) : kind == 1 ? start : start + slope * i;
        if (kind == 4 && random() % 40 == 0)
            values[i] = std::numeric_limits<double>::quiet_NaN();
    }
    return values;
}

} // namespace

TEST(GraphCurveSummaryTest, DrawingMatchesEverySampleThroughSweepsRebuildsAndChannelEdits) {
    // 100,000 samples per second over 2 s: whole windows at hundreds of samples per column.
    GraphFixture f(100000, 2.0f);
    KLib::Array<ChannelData>& channels = f.record.channelList;
    std::mt19937 random(99);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int step = 0; step < 120; ++step) {
        const int action = static_cast<int>(random() % 10);
        if (action == 0) {
            // Settings applied: often the same window, else a larger or smaller one; the
            // samples stay in place and the next sweep starts.
            if (random() % 2 == 0)
                f.inputs.displayTime = static_cast<float>(1.0 + 2.0 * unit(random));
            f.graph->rebuild();
        } else if (action == 1 && channels.size() < 3) {
            // A channel in a colour of its own, before any other or last.
            const auto at = channels.begin() + static_cast<long>(random() % (channels.size() + 1));
            ChannelData added = channels.front();
            for (const int colour : {0x00AA00, 0x0000FF, 0xFF0000})
                if (std::none_of(channels.begin(), channels.end(),
                                 [&](const ChannelData& c) { return c.color == colour; }))
                    added.color = colour;
            f.graph->insertChannel(static_cast<int>(at - channels.begin()));
            channels.insert(at, added);
            f.graph->rebuild();
        } else if (action == 2 && channels.size() > 1) {
            const size_t at = random() % channels.size();
            channels.erase(channels.begin() + static_cast<long>(at));
            f.graph->removeChannel(static_cast<int>(at));
            f.graph->rebuild();
        } else {
            // Chunks of a few samples or of thousands, sometimes more than the window has room
            // for; a full window starts the next sweep.
            const size_t count = random() % 3 == 0 ? 1 + random() % 40 : 1 + random() % 40000;
            for (size_t c = 0; c < channels.size(); ++c) {
                const std::vector<double> values = chunk(random, count);
                f.graph->appendSamples(static_cast<int>(c), values.data(), static_cast<int>(count));
            }
            if (f.graph->advance(static_cast<int>(count)))
                f.graph->restart();
        }
        // From ten windows side by side (thousands of samples per column) down to about half a
        // sample per column, shifted anywhere.
        const double window = f.graph->capacity() * f.graph->timing().dt; // seconds
        const double scaleX = 48.0 / window * std::pow(10.0, 3.8 * unit(random));
        f.view(scaleX, 120.0 - scaleX * window * (unit(random) - 0.1), -5.0, 164.0);
        std::vector<Drawn> log;
        RecordingPainter painter(log);
        f.graph->draw(painter);
        for (size_t c = 0; c < channels.size(); ++c) {
            SCOPED_TRACE("step " + std::to_string(step) + ", channel " + std::to_string(c));
            ASSERT_EQ(curveLines(log, channels[c].color, f.graph->frame().p2.x),
                      expectedCurve(*f.graph, c));
        }
    }
}

TEST(GraphCurveSummaryTest, TheRepeatedNewestSampleReplacesTheOldOneInTheDrawing) {
    // A sweep of zeros with a spike at sample 5120, where a block begins; the next sweep writes
    // zeros up to it, and the newest of them is repeated over the spike. Settings applied then show
    // the whole window.
    GraphFixture f(100000, 2.0f);
    std::vector<double> values(200000, 0.0);
    values[5120] = 10.0;
    for (int c = 0; c < 2; ++c)
        f.graph->appendSamples(c, values.data(), 200000);
    ASSERT_TRUE(f.graph->advance(200000));
    f.graph->restart();
    for (int c = 0; c < 2; ++c)
        f.graph->appendSamples(c, values.data(), 5120);
    f.graph->advance(5120);
    f.graph->rebuild();
    f.view(240.0, 120.0, -5.0, 164.0);
    std::vector<Drawn> log;
    RecordingPainter painter(log);
    f.graph->draw(painter);
    EXPECT_EQ(curveLines(log, 0x0000FF, 600.0), expectedCurve(*f.graph, 0));
}
