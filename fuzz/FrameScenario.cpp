#include "fuzz/FrameScenario.h"

#include "signal/ChannelSelection.h"

#include <algorithm>

namespace {

class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return at_ >= size_; }
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    int nextSigned() { return static_cast<std::int8_t>(next()); }
    std::vector<std::uint8_t> take(std::size_t count) {
        const std::size_t end = std::min(size_, at_ + count);
        std::vector<std::uint8_t> bytes(data_ + at_, data_ + end);
        at_ = end;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The counter of the frame whose counter bytes are at `at`, the counter before being `previous`,
// with the substitutes of the frames before counted in `substitutes`.
std::uint16_t frameCounter(const std::vector<std::uint8_t>& stream, std::size_t at,
                           std::uint16_t previous, int& substitutes) {
    int lost = frameScenarioLostFrames(stream[at], stream[at + 1]);
    const int fill = std::min(lost, FrameDecoder::maxGapFill);
    if (substitutes + fill > frameScenarioMaxSubstitutes)
        lost = 0;
    else
        substitutes += fill;
    return static_cast<std::uint16_t>(previous + 1 + lost);
}

// Replaces the counter bytes of every frame after the first by the counter they stand for.
void writeCounters(std::vector<FrameScenario::Piece>& pieces, int frameSize) {
    std::vector<std::uint8_t> stream;
    for (const FrameScenario::Piece& piece : pieces)
        stream.insert(stream.end(), piece.bytes.begin(), piece.bytes.end());
    const auto size = static_cast<std::size_t>(frameSize);
    if (stream.size() < frameCounterOffset + 2)
        return;
    auto counter = static_cast<std::uint16_t>(stream[frameCounterOffset] |
                                              stream[frameCounterOffset + 1] << 8);
    int substitutes = 0;
    for (std::size_t at = frameCounterOffset + size; at + 1 < stream.size(); at += size) {
        counter = frameCounter(stream, at, counter, substitutes);
        stream[at] = static_cast<std::uint8_t>(counter);
        stream[at + 1] = static_cast<std::uint8_t>(counter >> 8);
    }
    auto from = stream.begin();
    for (FrameScenario::Piece& piece : pieces) {
        std::copy(from, from + static_cast<long>(piece.bytes.size()), piece.bytes.begin());
        from += static_cast<long>(piece.bytes.size());
    }
}

constexpr int rates[] = {100, 10000, 250000, 500000}; // samples per second
constexpr int ringSizes[] = {256, 1024, 4096, 65536}; // bytes

} // namespace

FrameScenario readFrameScenario(const std::uint8_t* data, std::size_t size) {
    FrameScenario scenario;
    Cursor in(data, size);
    const int inputs = in.next();
    const int choices = in.next();
    const int buffers = in.next();

    InputSettings& settings = scenario.config.inputSettings;
    resizeInputs(settings, inputs & 3, (inputs >> 2) & 3, (inputs >> 4) & 3, (inputs >> 6) & 3);
    settings.failure_add_value = (choices & 0x20) ? -1.5f : 0.0f;
    settings.rate = rates[(choices >> 6) & 3];
    scenario.ringBytes = ringSizes[buffers & 3];
    scenario.sweepValues = ((buffers >> 2) + 1) * 64;

    std::vector<GraphData*> graphs;
    for (int g = 0; g <= (choices & 3); ++g)
        graphs.push_back(&addGraph(scenario.config));
    const int channels = ((choices >> 2) & 7) + 1;
    for (int c = 0; c < channels; ++c) {
        ChannelData& channel = addChannel(*graphs[in.next() % graphs.size()]);
        channel.input = in.nextSigned();
        channel.channel = in.nextSigned();
        channel.op = in.nextSigned();
        const int flags = in.next();
        channel.invert = (flags & 1) != 0;
        channel.offset = (flags & 2) ? "-2.5" : "0";
        channel.unit = flags >> 2;
        // The second source of "add" and "subtract": the next input's signal of the same number.
        channel.input2 = channel.input + 1;
        channel.channel2 = channel.channel;
    }

    int ticks = 0;
    while (!in.atEnd()) {
        const int length = in.next();
        FrameScenario::Piece& piece = scenario.pieces.emplace_back();
        piece.bytes = in.take(static_cast<std::size_t>(length & frameScenarioMaxPiece));
        piece.tick = (length & 0x80) != 0 && ticks < frameScenarioMaxTicks;
        ticks += piece.tick ? 1 : 0;
    }
    writeCounters(scenario.pieces, computeChannelSelection(scenario.config).frameSize);
    return scenario;
}
