#pragma once

#include "acquisition/FrameDecoder.h"
#include "config/Config.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The input of the frame-decoder fuzz target, and of the seeds written for it: a box and the
// channels of its graphs, then the bytes the box sends, read by read. Bytes missing at the end
// of the header read as 0.
//
//   byte 0    inputs: SinCos count in bits 0-1, HTL/TTL in bits 2-3, SSI in 4-5, Analog in 6-7
//   byte 1    bits 0-1: graphs - 1; bits 2-4: channels - 1; bit 5: lost frames are filled with
//             -1.5 instead of 0; bits 6-7: rate 100, 10000, 250000 or 500000 samples per second
//   byte 2    bits 0-1: ring of 256, 1024, 4096 or 65536 bytes; bits 2-7: n, every graph holds
//             (n + 1) * 64 values per sweep
//   5 bytes   per channel: its graph (modulo the graph count), input, signal and operation as
//             signed numbers, then bit 0 inverted, bit 1 offset "-2.5", bits 2-7 the unit; the
//             second source of "add" and "subtract" is the same signal of the next input
//   pieces    up to the end: a length byte, bits 0-6 the count of bytes that follow, delivered
//             by one read of the data pipe (0: the read times out); bit 7 set: the hand-over
//             tick comes after that read. Only the first frameScenarioMaxTicks ticks count:
//             the ticks of a recording come 100 ms apart, so hundreds of them in a few bytes
//             would only slow the fuzzing down. One more hand-over follows the last piece.
//
// The pieces one after the other are the frames of the box (of the size the channels give).
// The first frame carries its counter as it is; in every later frame the counter bytes L, H
// stand for the frames lost since the frame before, and the counter the box sent is worked
// out from them: H = 0: L frames lost; H = 255: 256 L + 255 frames lost (the decoder's gap
// limit at L = 0x6F, a counter one step back at L = 255); any other H: none lost. A gap that
// would take the substitutes of the scenario (up to the gap limit per gap) beyond
// frameScenarioMaxSubstitutes counts as none lost.
// Every lost frame costs a substitute value per channel: counters taken as they come,
// near-random in mutated inputs, made almost every input the heaviest loss in every tick, a few
// hundred executions a second. One chunk's worth of substitutes still reaches the gap limit
// and the heavy loss.
struct FrameScenario {
    struct Piece {
        std::vector<std::uint8_t> bytes;
        bool tick = false;
    };

    Config config;
    int ringBytes = 0;
    int sweepValues = 0;
    std::vector<Piece> pieces;
};

FrameScenario readFrameScenario(const std::uint8_t* data, std::size_t size);

// Bytes of the header before the channels, and per channel.
constexpr std::size_t frameScenarioHeaderBytes = 3;
constexpr std::size_t frameScenarioChannelBytes = 5;
// Bytes a piece carries at most.
constexpr int frameScenarioMaxPiece = 127;
constexpr int frameScenarioMaxTicks = 16;
constexpr int frameScenarioMaxSubstitutes = maxChunkValues; // per channel

// The frames lost before a frame whose counter bytes are `low`, `high` (see above).
constexpr int frameScenarioLostFrames(std::uint8_t low, std::uint8_t high) {
    return high == 0 ? low : high == 0xFF ? low * 256 + 255 : 0;
}
static_assert(frameScenarioLostFrames(FrameDecoder::maxGapFill >> 8, 0xFF) ==
                  FrameDecoder::maxGapFill,
              "the gap limit is one of the gaps a scenario can give");
