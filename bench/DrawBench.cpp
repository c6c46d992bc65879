// Complete repaint of a time graph of one channel at 500,000 samples per second, the data window
// (display time 0.1 s to 100 s, 5e4 to 5e7 samples) fitted into 1000 pixel columns or zoomed in
// ten times about its middle. A repaint should cost about the same whatever the window holds.
// Next to it, the data path: eight channels appended chunk by chunk and committed, against the
// box's 500,000 frames per second ("realtime" is how many such streams one core keeps up with).
// Then, what a spectrum of a 2^20-sample window holds the user-interface thread up: the FFT view
// copies the analysed samples and hands them to its worker, which transforms them meanwhile.
// Last, the statistics table's figures of eight channels over the samples on screen, which it
// measures at every value-text tick.

#include "NullPainting.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int rate = 500000; // samples per second
constexpr double plotLeft = 120.0;
constexpr double plotColumns = 1000.0;

// Some channels of a graph over a window of `samples` samples, the view fitted to it.
struct BenchGraph {
    BenchGraph(int samples, int channels) {
        inputs.rate = rate;
        inputs.displayTime = static_cast<float>(samples) / static_cast<float>(rate);
        record.channelList.resize(static_cast<size_t>(channels));
        record.scale.y = -100.0; // pixels per unit
        record.offset.y = 160.0;
        graph = server->createGraph(inputs, record);
        graph->setViewport(0.0, 0.0, plotLeft + plotColumns + 12.0, 330.0);
        graph->rebuild();
        graph->fitX();
    }

    KLib::Ref<NullServer> server{new NullServer};
    InputSettings inputs;
    GraphData record;
    KLib::Ref<Graph> graph;
};

// A turning shaft's analog track with some noise, in volts.
std::vector<double> analogTrack(int count) {
    std::vector<double> values(static_cast<size_t>(count));
    std::uint32_t noise = 12345u;
    for (int i = 0; i < count; ++i) {
        noise = noise * 1664525u + 1013904223u;
        values[static_cast<size_t>(i)] =
            std::sin(2e-4 * i) + 0.05 * static_cast<double>(noise >> 8) / (1 << 24);
    }
    return values;
}

// The shaft's position, in degrees: it only ever grows, so every column's extremes lie at its
// edges, the hardest case for the summaries.
std::vector<double> position(int count) {
    std::vector<double> values(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        values[static_cast<size_t>(i)] = 0.0072 * i;
    return values;
}

void repaint(benchmark::State& state, double zoom, std::vector<double> (*signal)(int)) {
    const int samples = static_cast<int>(state.range(0));
    BenchGraph g(samples, 1);
    const std::vector<double> values = signal(g.graph->capacity());
    g.graph->appendSamples(0, values.data(), g.graph->capacity());
    g.graph->advance(g.graph->capacity());
    // Zooming keeps the middle of the window in the middle of the plot.
    const double middle = plotLeft + plotColumns / 2.0;
    g.record.scale.x *= zoom;
    g.record.offset.x = middle - (middle - g.record.offset.x) * zoom;
    CountingPainter painter;
    for (auto _ : state)
        g.graph->draw(painter);
    benchmark::DoNotOptimize(painter.lines);
    state.counters["samples/column"] = samples / plotColumns / zoom;
}

void BM_RepaintFitted(benchmark::State& state) {
    repaint(state, 1.0, analogTrack);
}

void BM_RepaintZoomed10(benchmark::State& state) {
    repaint(state, 10.0, analogTrack);
}

void BM_RepaintFittedPosition(benchmark::State& state) {
    repaint(state, 1.0, position);
}

// What the data handler does per chunk: one append per channel, then one commit, which draws the
// new piece. A full window starts the next sweep.
void BM_AppendEightChannels(benchmark::State& state) {
    constexpr int channels = 8;
    const int chunk = static_cast<int>(state.range(0));
    BenchGraph g(10 * rate, channels);
    const std::vector<double> values = analogTrack(chunk);
    std::int64_t appended = 0;
    for (auto _ : state) {
        for (int c = 0; c < channels; ++c)
            g.graph->appendSamples(c, values.data(), chunk);
        if (g.graph->advance(chunk))
            g.graph->restart();
        appended += chunk;
    }
    state.SetItemsProcessed(appended * channels);
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(appended) / rate, benchmark::Counter::kIsRate);
}

void BM_SpectrumStartOfAMillionPoints(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    BenchGraph g(1 << 20, channels);
    g.record.fftSize = "0"; // no cap: one transform of 2^20 points per channel
    g.record.fftNumAverages = "1";
    const KLib::Ref<FFTGraph> view = g.server->createFFTGraph(g.graph, g.record);
    view->setViewport(0.0, 330.0, plotLeft + plotColumns + 12.0, 660.0);
    view->rebuild();
    const std::vector<double> values = analogTrack(g.graph->capacity());
    for (int c = 0; c < channels; ++c)
        g.graph->appendSamples(c, values.data(), g.graph->capacity());
    g.graph->advance(g.graph->capacity());
    view->finishSpectra();
    // The window is held up by the start and by each slice of the copy that follows it, one at
    // a time between other events: the longest of them is what the user can notice.
    // A single preemption of this process shows in the longest step of all; the typical
    // longest step per computation shows what the code costs.
    double longestStep = 0.0;     // ms, of one computation
    double longestStepSum = 0.0;  // ms, over the computations
    double longestStepEver = 0.0; // ms
    const auto timed = [&longestStep](auto&& step) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        longestStep = std::max(longestStep, took.count());
    };
    for (auto _ : state) {
        longestStep = 0.0;
        timed([&] { view->computeSpectra(); });
        while (view->copying())
            timed([&] { view->takeFinishedWork(); });
        longestStepSum += longestStep;
        longestStepEver = std::max(longestStepEver, longestStep);
        state.PauseTiming();
        view->finishSpectra();
        state.ResumeTiming();
    }
    state.counters["F"] = view->range().transformLength;
    state.counters["longest_step_ms"] = longestStepSum / static_cast<double>(state.iterations());
    state.counters["longest_step_max_ms"] = longestStepEver;
}

void BM_StatisticsOfEightChannels(benchmark::State& state) {
    constexpr int channels = 8;
    BenchGraph g(static_cast<int>(state.range(0)), channels);
    const std::vector<double> values = analogTrack(g.graph->capacity());
    for (int c = 0; c < channels; ++c)
        g.graph->appendSamples(c, values.data(), g.graph->capacity());
    g.graph->advance(g.graph->capacity());
    for (auto _ : state) {
        double sum = 0.0;
        for (const ChannelTrace& trace : g.graph->traces()) {
            SpanStatistics figures;
            for (const SampleSpan& span : g.graph->statisticsSpans())
                figures.add(trace.samples.data(), trace.envelope, span);
            sum += figures.rms() + figures.maximum();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * channels);
}

} // namespace

BENCHMARK(BM_StatisticsOfEightChannels)
    ->ArgName("samples")
    ->Arg(500000)
    ->Arg(5000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumStartOfAMillionPoints)
    ->ArgName("channels")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintFitted)
    ->ArgName("samples")
    ->Arg(50000)
    ->Arg(500000)
    ->Arg(5000000)
    ->Arg(50000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintZoomed10)
    ->ArgName("samples")
    ->Arg(50000)
    ->Arg(500000)
    ->Arg(5000000)
    ->Arg(50000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintFittedPosition)
    ->ArgName("samples")
    ->Arg(50000)
    ->Arg(500000)
    ->Arg(5000000)
    ->Arg(50000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendEightChannels)
    ->ArgName("chunk")
    ->Arg(64)
    ->Arg(4096)
    ->Unit(benchmark::kMicrosecond);
