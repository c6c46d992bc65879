// Spectrum of the visible window of a time graph holding 1M samples, averaged over 4 segments
// (fftNumAverages "4"), per channel. A data tick is 100 ms; a spectrum should take well below a
// third of it.
#include "fft/SpectrumAnalyser.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int visibleSamples = 1 << 20;

void spectrumOfVisibleWindow(benchmark::State& state, const std::string& fftSize) {
    std::vector<double> samples(visibleSamples);
    for (int k = 0; k < visibleSamples; ++k)
        samples[k] = std::sin(0.01 * k) + 0.001 * (k % 7); // rad per sample, arbitrary units
    FftSettings settings;
    settings.window = "Hanning";
    settings.averages = 4;
    settings.sizeCap = static_cast<int>(std::stol(fftSize));
    settings.logScale = state.range(0) != 0;
    const AnalysisRange range = analysisRange(visibleSamples, 0, visibleSamples, settings);
    SpectrumAnalyser analyser;
    analyser.setup(range, settings);
    std::vector<double> spectrum;
    for (auto _ : state) {
        analyser.setup(range, settings); // unchanged length: nothing is rebuilt
        analyser.compute(samples.data() + range.startIndex,
                         samples.size() - static_cast<std::size_t>(range.startIndex), spectrum);
        benchmark::DoNotOptimize(spectrum.data());
    }
    state.counters["L"] = range.windowLength;
    state.counters["F"] = range.transformLength;
}

// fftSize "0": no cap, L = 262144 samples, F = 262144.
void BM_SpectrumUncapped(benchmark::State& state) {
    spectrumOfVisibleWindow(state, "0");
}
// fftSize "8192" (the default): L = 8192 samples, F = 8192.
void BM_SpectrumCapped8192(benchmark::State& state) {
    spectrumOfVisibleWindow(state, "8192");
}

// A 2^20-point transform of one channel (fftSize "0", one average over a 2^20-sample window).
void BM_SpectrumOfAMillionPoints(benchmark::State& state) {
    std::vector<double> samples(visibleSamples);
    for (int k = 0; k < visibleSamples; ++k)
        samples[k] = std::sin(0.01 * k);
    FftSettings settings;
    settings.window = "Hanning";
    const AnalysisRange range = analysisRange(visibleSamples, 0, visibleSamples, settings);
    SpectrumAnalyser analyser;
    analyser.setup(range, settings);
    std::vector<double> spectrum;
    for (auto _ : state) {
        analyser.compute(samples.data(), samples.size(), spectrum);
        benchmark::DoNotOptimize(spectrum.data());
    }
    state.counters["F"] = range.transformLength;
}

} // namespace

BENCHMARK(BM_SpectrumUncapped)->ArgName("log")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumCapped8192)->ArgName("log")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumOfAMillionPoints)->Unit(benchmark::kMillisecond);
