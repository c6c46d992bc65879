// Saving and loading a long log: 60 s at 100 kS/s of four channels in two graphs, 6,000,000
// samples per channel, as a MAT file (with its configuration beside it) and as CSV. The files go
// to the temporary folder and are removed afterwards. Beside them, a plain sequential write and
// read of as many bytes as the MAT file holds, and a plain write of as many as the CSV file
// holds, in the same folder and the same run: what the disk and the page cache allow.

#include "files/ConsoleDataFileUI.h"
#include "files/DataFileWriter.h"
#include "files/MatDataReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int samplesPerChannel = 6000000;
constexpr double samplePeriod = 1e-5; // s

// Two graphs of two channels each, holding a whole log of smoothly varying values.
class LogSamples : public GraphSamples {
public:
    LogSamples() {
        for (int channel = 0; channel < 4; ++channel) {
            std::vector<double>& values = channels_.emplace_back(samplesPerChannel);
            for (int k = 0; k < samplesPerChannel; ++k)
                values[k] = (channel + 1) * std::sin(k * 1e-4 * (channel + 1)) + k * 1e-6;
        }
    }
    GraphTiming timing(int graph) const override {
        return graph < 2 ? GraphTiming{samplePeriod, samplesPerChannel} : GraphTiming{};
    }
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override {
        const std::vector<double>& values = channels_.at(2 * graph + channel);
        const int n = std::max(0, std::min(count, samplesPerChannel - from));
        std::copy_n(values.begin() + from, n, destination);
        return n;
    }

private:
    std::vector<std::vector<double>> channels_;
};

Config logConfig() {
    Config config;
    for (const char* caption : {"Position", "Speed"}) {
        GraphData& graph = addGraph(config);
        graph.caption = caption;
        addChannel(graph).caption = "a";
        addChannel(graph).caption = "b";
    }
    return config;
}

const LogSamples& logSamples() {
    static const LogSamples samples;
    return samples;
}

std::string tempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void save(benchmark::State& state, const std::string& path) {
    const LogSamples& samples = logSamples();
    ConsoleDataFileUI ui;
    for (auto _ : state) {
        Config config = logConfig();
        if (!writeDataFile(path, config, samples, ui))
            state.SkipWithError("the file was not written");
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

void BM_SaveMat(benchmark::State& state) {
    save(state, tempFile("orva-bench-log.mat"));
}

void BM_SaveCsv(benchmark::State& state) {
    save(state, tempFile("orva-bench-log.csv"));
}

void BM_LoadMat(benchmark::State& state) {
    const std::string path = tempFile("orva-bench-load.mat");
    Config config = logConfig();
    ConsoleDataFileUI ui;
    writeDataFile(path, config, logSamples(), ui);
    for (auto _ : state) {
        LoadedData data;
        if (!readMatDataFile(path, data))
            state.SkipWithError("the file was not read");
        benchmark::DoNotOptimize(data.maxLen);
    }
    std::filesystem::remove(path);
}

// The files' sizes, in blocks of 1 MiB written with fwrite and read with fread.
constexpr std::size_t plainBlockBytes = 1 << 20;
constexpr std::size_t plainBytes = 240002048; // the MAT file
constexpr std::int64_t csvBytes = 244276000;  // the CSV file, 244.28 MB

void writePlain(const std::string& path, std::size_t bytes = plainBytes) {
    const std::vector<char> block(plainBlockBytes, 'x');
    std::FILE* file = std::fopen(path.c_str(), "wb");
    for (std::size_t done = 0; file && done < bytes; done += plainBlockBytes)
        std::fwrite(block.data(), 1, std::min(plainBlockBytes, bytes - done), file);
    if (file)
        std::fclose(file);
}

void BM_PlainWrite(benchmark::State& state) {
    const std::string path = tempFile("orva-bench-plain");
    for (auto _ : state)
        writePlain(path, static_cast<std::size_t>(state.range(0)));
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

// Into memory of its own, as every loader needs for what it reads: a fresh buffer of the file's
// size, filled 1 MiB at a time.
void BM_PlainRead(benchmark::State& state) {
    const std::string path = tempFile("orva-bench-plain");
    writePlain(path);
    for (auto _ : state) {
        std::unique_ptr<char[]> content(new char[plainBytes]);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::size_t total = 0;
        while (std::size_t read =
                   file ? std::fread(content.get() + total, 1,
                                     std::min(plainBlockBytes, plainBytes - total), file)
                        : 0)
            total += read;
        if (file)
            std::fclose(file);
        benchmark::DoNotOptimize(content.get());
    }
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(BM_PlainWrite)
    ->ArgName("bytes")
    ->Arg(static_cast<std::int64_t>(plainBytes))
    ->Arg(csvBytes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveMat)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveCsv)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LoadMat)->Unit(benchmark::kMillisecond)->Iterations(3);
