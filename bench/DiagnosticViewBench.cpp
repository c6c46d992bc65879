// The diagnostic views' share of the user-interface thread at the box's 500 kS/s with a 1 s
// window (500,000 samples per channel). Ten times a second the Lissajous view marks the samples
// of the last 100 ms in its picture and repaints; twice a second it measures the whole window
// and pictures it anew. A signal-quality table of the same graph takes the view's figures over;
// on its own it measures the window twice a second. Per second of recording a Lissajous view
// costs 8 x tick + 2 x figures.

#include "NullPainting.h"
#include "diagview/LissajousView.h"
#include "diagview/SignalQualityView.h"
#include "signal/Units.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int rate = 500000;               // samples per second
constexpr double signalFrequency = 1234.5; // Hz

// A graph of Analog A, B and R of one SinCos input, its window full of imperfect tracks.
struct BenchViews {
    BenchViews() {
        inputs.rate = rate;
        inputs.displayTime = 1.0f;
        inputs.sineInputs.resize(1);
        inputs.sineInputs[0].periods = 1024.0;
        for (int signal = 2; signal <= 4; ++signal) {
            ChannelData channel;
            channel.channel = signal;
            channel.unit = unitIndex("V");
            record.channelList.push_back(channel);
        }
        record.lissajous = true;
        graph = server->createGraph(inputs, record);
        graph->setViewport(0.0, 0.0, 1200.0, 330.0);
        graph->rebuild();
        std::vector<double> a(rate);
        std::vector<double> b(rate);
        std::vector<double> r(rate);
        for (int i = 0; i < rate; ++i) {
            const double phi = 2.0 * M_PI * signalFrequency * i / rate;
            a[i] = 0.01 + 0.5 * std::cos(phi) + 0.001 * std::sin(7.0 * i);
            b[i] = -0.02 + 0.45 * std::sin(phi - 0.05) + 0.001 * std::cos(11.0 * i);
            r[i] = i % 1024 == 0 ? 1.0 : 0.0;
        }
        tracks = {a, b, r};
        append(rate);
        lissajous = KLib::Ref<LissajousView>(new LissajousView(*server, inputs, record, graph));
        lissajous->setViewport(0.0, 330.0, 1200.0, 660.0);
        quality =
            KLib::Ref<SignalQualityView>(new SignalQualityView(*server, inputs, record, graph));
        quality->setViewport(0.0, 660.0, 1200.0, 990.0);
    }

    // The next `count` samples of the tracks, as a delivery brings them, sweeping the window.
    void append(int count) {
        if (graph->writeIndex() + count > rate)
            graph->restart();
        const int from = graph->writeIndex();
        for (int channel = 0; channel < 3; ++channel)
            graph->appendSamples(channel, tracks[channel].data() + from, count);
        graph->advance(count);
    }

    std::vector<std::vector<double>> tracks;
    KLib::Ref<NullServer> server{new NullServer};
    InputSettings inputs;
    GraphData record;
    KLib::Ref<Graph> graph;
    KLib::Ref<LissajousView> lissajous;
    KLib::Ref<SignalQualityView> quality;
};

// What a data tick without figures costs: 100 ms of samples marked, and the repaint.
void BM_LissajousTick(benchmark::State& state) {
    BenchViews views;
    CountingPainter painter;
    views.lissajous->update(true);
    for (auto _ : state) {
        state.PauseTiming();
        views.append(rate / 10);
        state.ResumeTiming();
        views.lissajous->update(false);
        views.lissajous->draw(painter);
    }
    benchmark::DoNotOptimize(painter.lines);
}

// The figures and a whole picture, twice a second.
void BM_LissajousFigures(benchmark::State& state) {
    BenchViews views;
    for (auto _ : state) {
        views.lissajous->update(true);
        benchmark::DoNotOptimize(views.lissajous->quality().fit.periods);
    }
}

void BM_SignalQualityFigures(benchmark::State& state) {
    BenchViews views;
    CountingPainter painter;
    for (auto _ : state) {
        views.quality->update();
        views.quality->draw(painter);
    }
    benchmark::DoNotOptimize(painter.lines);
}

} // namespace

BENCHMARK(BM_LissajousTick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LissajousFigures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalQualityFigures)->Unit(benchmark::kMillisecond);
