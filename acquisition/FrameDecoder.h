#pragma once

#include "acquisition/SampleTarget.h"
#include "signal/ChannelComputation.h"

#include <cstdint>
#include <vector>

// What the status bar shows after a chunk of frames.
enum class DecodeStatus {
    Recording,   // the chunk was complete
    SampleError, // frames were missing and were filled with the substitute value
    HeavyLoss,   // as SampleError, after a chunk could not take all substitutes at least once
};

// "Recording...", "sample error" or "Large amount of Package losses!".
const char* statusText(DecodeStatus status);

class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void showStatus(DecodeStatus status) = 0;
};

// One graph to decode into: its target and the runtime records of its channels, which the
// decoding updates (differentiate and position-unwrap state).
struct GraphFeed {
    SampleTarget* target = nullptr;
    std::vector<ChannelRuntime>* channels = nullptr;
};

struct DecodeResult {
    int frames = 0;    // frames decoded into the graphs
    int chunks = 0;    // chunks decoded
    bool full = false; // some graph reported its window full; the frames after it were skipped
    DecodeStatus status = DecodeStatus::Recording; // of the last chunk
    DecodeStatus worst = DecodeStatus::Recording;  // the most severe of all chunks
};

// Decodes the frames delivered to the user-interface thread into the graphs, chunk by chunk.
// The frame counter is checked once per frame and continuously over chunks and deliveries: only
// resynchronise() (at the start of a recording) takes the next frame as a new reference. Every
// frame the counter shows missing is filled with the substitute value before the next frame,
// for every channel alike.
class FrameDecoder {
public:
    static constexpr int maxChunkFrames = 4096;
    // Substitutes written for one gap at most. One full gap and a whole chunk of frames fill
    // exactly the values a channel can take per chunk.
    static constexpr int maxGapFill = maxChunkValues - maxChunkFrames;

    FrameDecoder();

    // frameSize in bytes; substitute: the value written for a lost frame; rate in samples per
    // second, for "differentiate".
    void configure(int frameSize, double substitute, double rate);

    // The next frame decoded is a new reference for the frame counter.
    void resynchronise() {
        resync_ = true;
        droppedBefore_ = 0;
    }
    // Frames dropped on this side between the last frame decoded and the next one. The 16-bit
    // counter shows such a gap only modulo 65536; with this count the gap is exact as long as
    // the box itself lost fewer than 65536 frames there.
    void noteDroppedFrames(std::int64_t frames) {
        droppedBefore_ += std::max<std::int64_t>(frames, 0);
    }

    // Decodes frameCount frames starting at `frames` into the graphs (graphs without a target are
    // left out). Stops after the chunk in which a graph reported itself full; the frames after it
    // are skipped (counted), and the counter check goes on behind the last of them. The display,
    // when given, is told the status after every chunk.
    DecodeResult decode(const std::uint8_t* frames, int frameCount,
                        const std::vector<GraphFeed>& graphs, StatusDisplay* display = nullptr);

    // Skips frameCount frames as decode() skips the frames after a full graph: they are not
    // decoded, and the counter check goes on behind the last of them.
    void skip(const std::uint8_t* frames, int frameCount);

    // Set by the first chunk that could not take all substitutes; stays set.
    bool heavyLoss() const { return heavyLoss_; }
    // Frames handed to decode(), since construction.
    std::int64_t receivedFrames() const { return receivedFrames_; }
    // Frames the counter showed missing, since construction.
    std::int64_t lostFrames() const { return lostFrames_; }
    // Of those, the frames for which no substitute was written (gap limit or chunk full).
    std::int64_t unfilledFrames() const { return unfilledFrames_; }
    // Frames delivered after a graph became full, and not decoded.
    std::int64_t skippedFrames() const { return skippedFrames_; }

private:
    // Checks the counters of the next chunk (at most maxChunkFrames frames and maxChunkValues
    // values) and notes the substitutes to write before each frame. Returns its frame count.
    int planChunk(const std::uint8_t* frames, int available);
    // Writes the values of one source for the planned chunk; returns their count.
    int extract(const SourceLayout& source, bool unwrapped, double factor, PositionUnwrap& unwrap,
                const std::uint8_t* frames, int frameCount, double* out) const;
    template <class Read>
    int fill(const std::uint8_t* frames, int frameCount, double* out, Read read) const;
    bool readable(const SourceLayout& source) const;
    // Counts frames dropped on purpose and expects the frame after the last of them.
    void passOver(const std::uint8_t* frames, int frameCount);
    // Tells the target where the planned chunk's losses are.
    void reportLosses(SampleTarget& target) const;

    int frameSize_ = 0; // bytes
    double substitute_ = 0.0;
    double rate_ = 0.0; // samples per second

    bool resync_ = true;
    bool clean_ = true;
    bool heavyLoss_ = false;
    std::uint16_t expected_ = 0;     // counter of the next frame
    std::int64_t droppedBefore_ = 0; // frames dropped before the next frame, see noteDroppedFrames

    // The planned chunk.
    std::vector<int> gaps_;          // substitutes before each frame, maxChunkFrames entries
    std::vector<std::int64_t> lost_; // frames lost before each frame, maxChunkFrames entries
    bool chunkHasGaps_ = false;
    int chunkValues_ = 0; // values per channel

    std::vector<double> values_;  // maxChunkValues, the channel being decoded
    std::vector<double> values2_; // maxChunkValues, its second source

    std::int64_t receivedFrames_ = 0;
    std::int64_t lostFrames_ = 0;
    std::int64_t unfilledFrames_ = 0;
    std::int64_t skippedFrames_ = 0;
};
