// The diagnostic views' share of the user-interface thread at the box's 500 kS/s with a 1 s
// window (500,000 samples per channel). After every delivery (a data tick, 100 ms) the Lissajous
// view takes its picture again and repaints; its figures follow at most every 300 ms. The
// signal-quality table of the same input costs a fit as well. Per second of recording, the
// thread spends 10 x (picture + draw) + 3.3 x figures on a view.

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
        graph->appendSamples(0, a.data(), rate);
        graph->appendSamples(1, b.data(), rate);
        graph->appendSamples(2, r.data(), rate);
        graph->advance(rate);
        lissajous = KLib::Ref<LissajousView>(new LissajousView(*server, inputs, record, graph));
        lissajous->setViewport(0.0, 330.0, 1200.0, 660.0);
        quality =
            KLib::Ref<SignalQualityView>(new SignalQualityView(*server, inputs, record, graph));
        quality->setViewport(0.0, 660.0, 1200.0, 990.0);
    }

    KLib::Ref<NullServer> server{new NullServer};
    InputSettings inputs;
    GraphData record;
    KLib::Ref<Graph> graph;
    KLib::Ref<LissajousView> lissajous;
    KLib::Ref<SignalQualityView> quality;
};

// What every data tick costs: the picture of the window and its repaint.
void BM_LissajousPictureAndDraw(benchmark::State& state) {
    BenchViews views;
    CountingPainter painter;
    for (auto _ : state) {
        views.lissajous->update(false);
        views.lissajous->draw(painter);
    }
    benchmark::DoNotOptimize(painter.lines);
}

// What the figures add, at most every 300 ms.
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

BENCHMARK(BM_LissajousPictureAndDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LissajousFigures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignalQualityFigures)->Unit(benchmark::kMillisecond);
