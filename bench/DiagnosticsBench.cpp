// Signal-quality figures over one data window at the box's 500 kS/s: 1 s (500,000 samples) and
// 0.1 s (50,000 samples). A data tick is 100 ms; figures refreshed once per window should take
// well below it.
#include "diagnostics/EllipseFit.h"
#include "diagnostics/InterpolationError.h"
#include "diagnostics/PulseTiming.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr double sampleRate = 500000.0;    // samples per second
constexpr double signalFrequency = 1234.5; // Hz, signal periods per second
constexpr double periodsPerTurn = 1024.0;

// Analog A and B (V) with offsets, unequal amplitudes, a phase error and a little ripple.
void sinCosTracks(int count, std::vector<double>& a, std::vector<double>& b) {
    a.resize(static_cast<std::size_t>(count));
    b.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double phi = 2.0 * M_PI * signalFrequency * i / sampleRate;
        a[i] = 0.01 + 0.5 * std::cos(phi) + 0.001 * std::sin(7.0 * i);
        b[i] = -0.02 + 0.45 * std::sin(phi - 0.05) + 0.001 * std::cos(11.0 * i);
    }
}

void BM_FitAndInterpolationError(benchmark::State& state) {
    std::vector<double> a;
    std::vector<double> b;
    sinCosTracks(static_cast<int>(state.range(0)), a, b);
    for (auto _ : state) {
        const EllipseFit fit = fitEllipse(a.data(), b.data(), a.size());
        const InterpolationError error = interpolationError(
            HeydemannCorrection(fit.parameters), a.data(), b.data(), a.size(), periodsPerTurn);
        benchmark::DoNotOptimize(error.peakToPeakPeriods);
    }
}

void BM_EllipseFit(benchmark::State& state) {
    std::vector<double> a;
    std::vector<double> b;
    sinCosTracks(static_cast<int>(state.range(0)), a, b);
    for (auto _ : state) {
        const EllipseFit fit = fitEllipse(a.data(), b.data(), a.size());
        benchmark::DoNotOptimize(fit.periods);
    }
}

void BM_PulseTiming(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<double> a(count);
    std::vector<double> b(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = signalFrequency * static_cast<double>(i) / sampleRate; // periods
        a[i] = t - std::floor(t) < 0.5 ? 1.0 : 0.0;
        b[i] = t - 0.25 - std::floor(t - 0.25) < 0.5 ? 1.0 : 0.0;
    }
    for (auto _ : state) {
        const PulseTiming timing = measurePulseTiming(a.data(), b.data(), count, sampleRate);
        benchmark::DoNotOptimize(timing.phase);
    }
}

} // namespace

BENCHMARK(BM_FitAndInterpolationError)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipseFit)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PulseTiming)->Arg(500000)->Unit(benchmark::kMillisecond);
