// Frame decoding throughput for the usual box (2 SinCos, 1 HTL/TTL, 1 SSI, 1 Analog input) with
// eight channels over three graphs, next to a plain copy of the same bytes. The box streams at
// most 500,000 frames per second; "realtime" is how many such streams one core decodes.

#include "acquisition/FrameDecoder.h"
#include "signal/ChannelSelection.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr double boxFramesPerSecond = 500000.0;
constexpr int framesPerDelivery = 65536;

ChannelData channel(int input, int signal, int unit, int op = OperationNone, int input2 = 0,
                    int signal2 = 0) {
    ChannelData data;
    data.input = input;
    data.channel = signal;
    data.unit = unit;
    data.op = op;
    data.input2 = input2;
    data.channel2 = signal2;
    return data;
}

Config referenceConfig() {
    Config config;
    resizeInputs(config.inputSettings, 2, 1, 1, 1);
    config.inputSettings.rate = 500000;
    GraphData& position = addGraph(config);
    position.channelList.push_back(channel(0, 0, 3));                          // degrees
    position.channelList.push_back(channel(1, 0, 3, OperationSubtract, 0, 0)); // angle error
    position.channelList.push_back(channel(3, 0, 1));                          // SSI word 0
    GraphData& speed = addGraph(config);
    speed.channelList.push_back(channel(0, 1, 13));                        // 1/min
    speed.channelList.push_back(channel(2, 0, 7, OperationDifferentiate)); // 1/s
    GraphData& signals = addGraph(config);
    signals.channelList.push_back(channel(0, 2, 15)); // analog track A, V
    signals.channelList.push_back(channel(4, 0, 16)); // analog input, mV
    signals.channelList.push_back(channel(2, 2, 1));  // level A
    return config;
}

void put(std::vector<std::uint8_t>& bytes, size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A delivery of moving encoders and sine-shaped analog tracks.
std::vector<std::uint8_t> makeFrames(const ChannelSelection& selection) {
    const size_t frameSize = static_cast<size_t>(selection.frameSize);
    std::vector<std::uint8_t> bytes(frameSize * framesPerDelivery, 0);
    const auto& offsets = selection.slotOffsets;
    for (size_t f = 0; f < framesPerDelivery; ++f) {
        const size_t at = f * frameSize;
        const auto i = static_cast<std::uint32_t>(f);
        const auto wave = static_cast<std::uint32_t>(std::lround(20000 * std::sin(f * 0.01)));
        put(bytes, at + 1, i, 2);
        put(bytes, at + size_t(offsets[0]), 0x7FFF0000u + 977 * i, 4); // runs through the wrap
        put(bytes, at + size_t(offsets[1]), 977, 4);
        put(bytes, at + size_t(offsets[2]), wave, 2);
        put(bytes, at + size_t(offsets[5]), 0x7FFF0000u + 975 * i, 4);
        put(bytes, at + size_t(offsets[10]), 13 * i, 4);
        put(bytes, at + size_t(offsets[12]), (i >> 3) & 7, 1);
        put(bytes, at + size_t(offsets[13]), 5 * i, 4);
        put(bytes, at + size_t(offsets[21]), wave / 2, 2);
    }
    return bytes;
}

class Sink : public SampleTarget {
public:
    void appendSamples(int, const double* values, int count) override {
        if (count > 0)
            last_ += values[count - 1];
    }
    bool advance(int) override {
        benchmark::DoNotOptimize(last_);
        return false;
    }

private:
    double last_ = 0.0;
};

void setRates(benchmark::State& state) {
    const double frames = double(framesPerDelivery) * double(state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(frames));
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["realtime"] =
        benchmark::Counter(frames / boxFramesPerSecond, benchmark::Counter::kIsRate);
}

void BM_Decode(benchmark::State& state) {
    const Config config = referenceConfig();
    ChannelSelection selection = computeChannelSelection(config);
    const std::vector<std::uint8_t> bytes = makeFrames(selection);
    Sink sinks[3];
    std::vector<GraphFeed> graphs;
    for (size_t g = 0; g < selection.graphChannels.size(); ++g)
        graphs.push_back({&sinks[g], &selection.graphChannels[g]});
    FrameDecoder decoder;
    decoder.configure(selection.frameSize, 0.0, config.inputSettings.rate);
    // The delivery must decode as complete, or the figures would include substitute filling.
    if (decoder.decode(bytes.data(), framesPerDelivery, graphs).worst != DecodeStatus::Recording) {
        state.SkipWithError("the reference delivery has frame losses");
        return;
    }
    for (auto _ : state) {
        decoder.resynchronise(); // the same delivery again is no frame loss
        benchmark::DoNotOptimize(decoder.decode(bytes.data(), framesPerDelivery, graphs));
    }
    setRates(state);
    state.SetLabel(std::to_string(selection.frameSize) + "-byte frames, 8 channels");
}
BENCHMARK(BM_Decode);

void BM_Memcpy(benchmark::State& state) {
    const ChannelSelection selection = computeChannelSelection(referenceConfig());
    const std::vector<std::uint8_t> bytes = makeFrames(selection);
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setRates(state);
}
BENCHMARK(BM_Memcpy);

} // namespace
