#include "fuzz/FrameScenario.h"

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
    return scenario;
}
