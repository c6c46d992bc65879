#pragma once

#include "acquisition/FrameDecoder.h"
#include "acquisition/StagedDelivery.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

struct FrameCounts {
    std::int64_t received = 0; // frames handed to the decoder
    std::int64_t lost = 0;     // frames the counter showed missing
};

// The decoding of the deliveries, done on the hand-over thread so that the user-interface thread
// only copies finished values into the graphs. A delivery is decoded in pieces of at most
// pieceValues values (substitutes included), so that the memory of the record stays bounded
// when the ring hands over a long backlog: after each piece the user-interface thread plays the
// record back and either asks for the next piece or finishes the delivery. Every call takes the
// lock, so that configuring, zeroing and reading the counts from the user-interface thread never
// meet a decoding pass.
class DeliveryDecoder {
public:
    static constexpr std::size_t pieceValues = std::size_t(1) << 21; // 16 MiB of doubles

    // User-interface thread, at the start of a recording: decode what follows with these
    // settings (frameSize in bytes, substitute for lost frames, rate in samples per second) into
    // graphs with these channels. The next frame decoded is a new reference for the counter.
    void configure(int frameSize, double substitute, double rate,
                   const std::vector<std::vector<ChannelRuntime>>& graphChannels);
    // User-interface thread: nothing is decoded until the next configure().
    void disarm();
    // User-interface thread: the positions start again from the box's new zero.
    void resetPositionUnwrap();

    // Hand-over thread, after filling the transfer buffer: the delivery of frameCount frames at
    // `frames`, after which the ring dropped droppedBehind frames. It is decoded (its first piece)
    // when decoding is armed and `current` (filled for the recording that runs).
    void begin(const std::uint8_t* frames, int bytes, std::int64_t droppedBehind, bool current);
    // Hand-over thread: the next piece of the delivery.
    void decodeNext();

    // User-interface thread, between the hand-over thread's announcement and finish(): plays the
    // piece decoded last into the targets. `more` tells whether frames of the delivery wait.
    StagedDelivery::Replay replay(const std::vector<SampleTarget*>& targets, bool& more) const;
    // User-interface thread, before the transfer buffer is released: the frames of the delivery
    // not decoded are skipped (dropped on purpose after a full window; the counter check goes on
    // behind them), and the ring's drops behind the delivery are noted.
    void finish();

    FrameCounts counts() const;

private:
    void decodePiece();

    mutable std::mutex lock_;
    FrameDecoder decoder_;
    std::vector<std::vector<ChannelRuntime>> channels_;
    StagedDelivery staged_;
    bool armed_ = false;
    int frameSize_ = 0; // bytes

    // The delivery being decoded.
    const std::uint8_t* frames_ = nullptr;
    int frameCount_ = 0;
    int decodedFrames_ = 0;
    std::int64_t droppedBehind_ = 0;
    bool decoding_ = false; // the delivery is decoded; finish() closes it
};
