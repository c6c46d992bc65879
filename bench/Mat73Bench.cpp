// Streaming a long recording into a version 7.3 MAT file: 10^8 doubles (800 MB) appended to one
// column in blocks of 50,000, as a recording hands them over, against the same bytes written
// with plain sequential fwrite to the same folder. The files go to the temporary folder (TMPDIR)
// and are removed afterwards; both times include closing the file. The plain pair measures
// writing into the page cache, the ToDisk pair waits until the bytes are on the disk as well
// (fdatasync), which is what a long recording has to sustain.

#include "files/Mat73Writer.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t totalSamples = 100000000;
constexpr std::size_t blockSamples = 50000;
constexpr std::size_t blocks = totalSamples / blockSamples;
constexpr double totalBytes = totalSamples * sizeof(double);

const std::vector<double>& block() {
    static const std::vector<double> values = [] {
        std::vector<double> ramp(blockSamples);
        for (std::size_t k = 0; k < ramp.size(); ++k)
            ramp[k] = k * 1e-3;
        return ramp;
    }();
    return values;
}

std::string tempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// The rate, and the file's size to show that every byte reached it; then the file goes.
void reportSize(benchmark::State& state, const std::string& path) {
    state.SetBytesProcessed(static_cast<std::int64_t>(totalBytes) * state.iterations());
    std::error_code missing;
    const std::uintmax_t bytes = std::filesystem::file_size(path, missing);
    state.counters["MB"] = missing ? 0.0 : static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path, missing);
}

// Waits until the file's bytes are on the disk.
bool syncToDisk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}

void BM_Fwrite(benchmark::State& state, bool toDisk) {
    const std::string path = tempFile("orva-bench-plain.bin");
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        bool written = file != nullptr;
        for (std::size_t k = 0; k < blocks && written; ++k)
            written =
                std::fwrite(block().data(), sizeof(double), blockSamples, file) == blockSamples;
        if (!file || std::fclose(file) != 0 || !written || (toDisk && !syncToDisk(path)))
            state.SkipWithError("the file was not written");
    }
    reportSize(state, path);
}

void BM_Mat73Column(benchmark::State& state, bool toDisk) {
    const std::string path = tempFile("orva-bench-column.mat");
    for (auto _ : state) {
        Mat73Writer writer(path);
        Mat73Writer::Column column = 0;
        bool written = writer.beginColumn("data", column);
        for (std::size_t k = 0; k < blocks && written; ++k)
            written = writer.append(column, block().data(), blockSamples);
        if (!writer.close() || !written || (toDisk && !syncToDisk(path)))
            state.SkipWithError(writer.error().c_str());
    }
    reportSize(state, path);
}

} // namespace

BENCHMARK_CAPTURE(BM_Fwrite, Cache, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Mat73Column, Cache, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fwrite, ToDisk, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Mat73Column, ToDisk, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
