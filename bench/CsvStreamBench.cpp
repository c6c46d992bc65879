// Streaming a recording into CSV: 10^6 rows of 8 channels (the values of a SinCos position,
// none of them short) appended in blocks of 50,000 rows, as a recording hands them over. The
// rate is in values per second, so that it can be set against what a configuration produces
// (channels x sample rate). The file goes to the temporary folder and is removed afterwards.

#include "files/CsvSampleStream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

namespace {

constexpr std::size_t channels = 8;
constexpr std::size_t totalRows = 1000000;
constexpr std::size_t blockRows = 50000;

void BM_CsvStream(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "orva-bench.csv").string();
    Config config;
    GraphData& graph = addGraph(config);
    for (std::size_t c = 0; c < channels; ++c)
        addChannel(graph);
    std::vector<std::vector<double>> values(channels, std::vector<double>(blockRows));
    std::vector<const double*> columns;
    for (std::size_t c = 0; c < channels; ++c) {
        for (std::size_t k = 0; k < blockRows; ++k)
            values[c][k] = 360.0 * std::sin(1e-4 * static_cast<double>(k + c));
        columns.push_back(values[c].data());
    }
    for (auto _ : state) {
        CsvSampleStream stream(path, config, 500000);
        bool written = true;
        for (std::size_t row = 0; row < totalRows && written; row += blockRows)
            written = stream.append(columns, blockRows);
        if (!stream.close({}) || !written)
            state.SkipWithError(stream.error().c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(totalRows * (channels + 1)) *
                            state.iterations());
    std::error_code ignored;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path, ignored)) / 1e6;
    std::filesystem::remove(path, ignored);
    std::filesystem::remove(path.substr(0, path.size() - 4) + ".lost.csv", ignored);
}

} // namespace

BENCHMARK(BM_CsvStream)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
