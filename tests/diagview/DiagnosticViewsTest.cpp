// The diagnostic views on real time graphs: the figures come from the graph's data window,
// in volts whatever unit a channel is shown in.

#include "../diagnostics/SinCosTracks.h"
#include "../graph/GraphTestSupport.h"
#include "diagview/LissajousView.h"
#include "diagview/SignalQualityView.h"
#include "signal/Units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int rate = 50000; // samples per second
constexpr double periodsPerTurn = 1024.0;

ChannelData channelOf(int input, int signal, const std::string& unit, const std::string& caption) {
    ChannelData channel;
    channel.input = input;
    channel.channel = signal;
    channel.unit = unitIndex(unit);
    channel.caption = caption;
    return channel;
}

double figure(const DiagnosticRecord& record, const std::string& name) {
    for (const DiagnosticFigure& f : record.figures)
        if (f.name == name)
            return f.value;
    ADD_FAILURE() << "no figure " << name;
    return NAN;
}

// One SinCos input (input 0), one HTL/TTL input (input 1) and one SSI input (input 2, word 0 a
// position), with a graph of 1 s at 50 kS/s; the tests choose its channels.
struct DiagnosticFixture {
    DiagnosticFixture() {
        inputs.rate = rate;
        inputs.displayTime = 1.0f;
        inputs.sineInputs.resize(1);
        inputs.sineInputs[0].periods = periodsPerTurn;
        inputs.squareInputs.resize(1);
        inputs.ssiInputs.resize(1);
        inputs.ssiInputs[0].numWords = 1;
        inputs.ssiInputs[0].words[0].type = 0;
    }
    void start() {
        graph = server->createGraph(inputs, record);
        graph->setViewport(0.0, 0.0, 900.0, 300.0);
        graph->rebuild();
    }
    void feed(int channel, const std::vector<double>& values) {
        graph->appendSamples(channel, values.data(), static_cast<int>(values.size()));
    }

    KLib::Ref<TestServer> server{new TestServer};
    InputSettings inputs;
    GraphData record;
    KLib::Ref<Graph> graph;
};

TEST(LissajousView, FiguresOfAnImperfectEncoderInTheGraphsWindow) {
    DiagnosticFixture f;
    f.record.channelList.push_back(channelOf(0, 2, "V", "A"));
    f.record.channelList.push_back(channelOf(0, 3, "mV", "B"));
    f.record.channelList.push_back(channelOf(0, 4, "1", "R"));
    f.record.lissajous = true;
    f.start();
    HeydemannParameters tracks;
    tracks.amplitudeA = 0.5;
    tracks.amplitudeB = 0.46;
    tracks.offsetA = 0.012;
    tracks.offsetB = -0.009;
    tracks.phaseError = 2.5 * M_PI / 180.0;
    const SinCosTracks signal(tracks, 20.0, rate, 0.002);
    std::vector<double> millivolts(signal.b);
    for (double& value : millivolts)
        value *= 1000.0;
    // The reference pulse in three single samples.
    std::vector<double> pulse(rate, 0.0);
    pulse[1000] = pulse[20000] = pulse[40000] = 1.0;
    f.feed(0, signal.a);
    f.feed(1, millivolts);
    f.feed(2, pulse);
    f.graph->advance(rate);

    LissajousView view(*f.server, f.inputs, f.record, f.graph);
    view.setViewport(0.0, 300.0, 900.0, 600.0);
    view.update(true);
    const DiagnosticRecord figures = view.diagnosticRecord();
    EXPECT_NEAR(figure(figures, "amplitudeA_Vpp"), 1.0, 0.005);
    EXPECT_NEAR(figure(figures, "amplitudeRatio"), 0.92, 0.92 * 0.005);
    EXPECT_NEAR(figure(figures, "offsetA_mV"), 12.0, 5.0);
    EXPECT_NEAR(figure(figures, "offsetB_mV"), -9.0, 4.6);
    EXPECT_NEAR(figure(figures, "phaseError_deg"), 2.5, 0.2);
    EXPECT_NEAR(figure(figures, "periods"), 20.0, 0.01);
    EXPECT_EQ(figure(figures, "input"), 1.0);

    std::vector<Drawn> log;
    RecordingPainter painter(log);
    view.draw(painter);
    int pulseMarks = 0;
    int samplePixels = 0;
    for (const Drawn& d : log) {
        pulseMarks += d.kind == "rect" && d.pen.colour == 0xFF0000 && !d.brush.visible;
        samplePixels += d.kind == "line" && d.pen.colour == f.record.channelList[0].color;
    }
    // Three in the plot and one in its key.
    EXPECT_EQ(pulseMarks, 4);
    EXPECT_GT(samplePixels, 100);
}

TEST(LissajousView, AnIdealEncoderHasNoInterpolationErrorAndAFractionOfAPeriodIsRefused) {
    DiagnosticFixture f;
    f.record.channelList.push_back(channelOf(0, 2, "V", "A"));
    f.record.channelList.push_back(channelOf(0, 3, "V", "B"));
    f.start();
    HeydemannParameters ideal;
    ideal.amplitudeA = ideal.amplitudeB = 0.5;
    const SinCosTracks turning(ideal, 5.0, rate);
    f.feed(0, turning.a);
    f.feed(1, turning.b);
    f.graph->advance(rate);
    LissajousView view(*f.server, f.inputs, f.record, f.graph);
    view.update(true);
    EXPECT_LT(figure(view.diagnosticRecord(), "interpolationError_arcsec"), 0.01);

    f.graph->rebuild();
    const SinCosTracks creeping(ideal, 0.3, rate);
    f.feed(0, creeping.a);
    f.feed(1, creeping.b);
    f.graph->advance(rate);
    view.update(true);
    EXPECT_TRUE(std::isnan(figure(view.diagnosticRecord(), "phaseError_deg")));
    EXPECT_EQ(sinCosRows(view.quality()).front().label, "Not fitted: too little of a period");
}

TEST(SignalQualityView, PulseTimingAndTheDifferenceOfTwoPositionsThatSlip) {
    DiagnosticFixture f;
    f.record.channelList.push_back(channelOf(1, 2, "1", "A"));
    f.record.channelList.push_back(channelOf(1, 3, "1", "B"));
    f.record.channelList.push_back(channelOf(2, 0, "1", "SSI"));
    f.record.channelList.push_back(channelOf(0, 0, "1", "SinCos"));
    f.start();
    // 100 periods of A with 40 % duty, B a quarter period later; the incremental position
    // slips back 0.01 turn halfway.
    std::vector<double> a(rate);
    std::vector<double> b(rate);
    std::vector<double> absolute(rate);
    std::vector<double> incremental(rate);
    for (int i = 0; i < rate; ++i) {
        const double period = 100.0 * i / rate;
        a[i] = period - std::floor(period) < 0.4 ? 1.0 : 0.0;
        b[i] = period - 0.25 - std::floor(period - 0.25) < 0.5 ? 1.0 : 0.0;
        absolute[i] = 0.3 + 2.0 * i / rate;
        incremental[i] = 2.0 * i / rate - (i >= rate / 2 ? 0.01 : 0.0);
    }
    f.feed(0, a);
    f.feed(1, b);
    f.feed(2, absolute);
    f.feed(3, incremental);
    f.graph->advance(rate);
    SignalQualityView view(*f.server, f.inputs, f.record, f.graph);
    view.update();
    const DiagnosticRecord figures = view.diagnosticRecord();
    EXPECT_NEAR(figure(figures, "in2_dutyA_pct"), 40.0, 0.2);
    EXPECT_NEAR(figure(figures, "in2_dutyB_pct"), 50.0, 0.2);
    EXPECT_NEAR(figure(figures, "in2_phase_deg"), 90.0, 0.8);
    EXPECT_NEAR(figure(figures, "diff1_max") - figure(figures, "diff1_min"), 0.01, 1e-9);
    EXPECT_NEAR(figure(figures, "diff1_last"), 0.31, 1e-9);
    ASSERT_EQ(view.blocks().size(), 3u);
    EXPECT_EQ(view.blocks()[0].rows.front().label, "Analog A and B are not in the graph");
    EXPECT_EQ(view.blocks()[2].heading, "Difference SSI - SinCos");

    // A new sweep over the first fifth, half a period later and with the positions 0.02 apart:
    // where it meets the sweep before, no edge and no difference is taken from the seam.
    f.graph->restart();
    const int part = rate / 5;
    std::rotate(a.begin(), a.begin() + 250, a.end());
    std::rotate(b.begin(), b.begin() + 250, b.end());
    std::fill(absolute.begin(), absolute.end(), 5.02);
    std::fill(incremental.begin(), incremental.end(), 5.0);
    f.graph->appendSamples(0, a.data(), part);
    f.graph->appendSamples(1, b.data(), part);
    f.graph->appendSamples(2, absolute.data(), part);
    f.graph->appendSamples(3, incremental.data(), part);
    f.graph->advance(part);
    view.update();
    const DiagnosticRecord seamed = view.diagnosticRecord();
    // A falls 0.15 period (1.5 ms) before B rises.
    EXPECT_NEAR(figure(seamed, "in2_smallestEdgeGap_us"), 1500.0, 25.0);
    EXPECT_NEAR(figure(seamed, "diff1_last"), 0.02, 1e-9);
}

} // namespace
