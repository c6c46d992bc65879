#include "acquisition/FrameDecoder.h"

#include "signal/ChannelSelection.h"

#include <algorithm>

namespace {

std::uint16_t readU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::int16_t readI16(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(readU16(bytes));
}

std::int32_t readI32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                     std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

int sizeOfKind(int kind) {
    switch (kind) {
    case SignalEntry::BitA:
    case SignalEntry::BitB:
    case SignalEntry::BitR:
        return 1;
    case SignalEntry::Int16:
        return 2;
    case SignalEntry::Int32:
        return 4;
    default:
        return 0;
    }
}

DecodeStatus moreSevere(DecodeStatus a, DecodeStatus b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

} // namespace

const char* statusText(DecodeStatus status) {
    switch (status) {
    case DecodeStatus::SampleError:
        return "sample error";
    case DecodeStatus::HeavyLoss:
        return "Large amount of Package losses!";
    default:
        return "Recording...";
    }
}

FrameDecoder::FrameDecoder()
    : gaps_(static_cast<size_t>(maxChunkFrames), 0), lost_(static_cast<size_t>(maxChunkFrames), 0),
      values_(static_cast<size_t>(maxChunkValues), 0.0),
      values2_(static_cast<size_t>(maxChunkValues), 0.0) {}

void FrameDecoder::configure(int frameSize, double substitute, double rate) {
    frameSize_ = frameSize;
    substitute_ = substitute;
    rate_ = rate;
}

int FrameDecoder::planChunk(const std::uint8_t* frames, int available) {
    const int limit = std::min(available, maxChunkFrames);
    const size_t frameSize = static_cast<size_t>(frameSize_);
    chunkHasGaps_ = false;
    int values = 0;
    int frame = 0;
    while (frame < limit && values < maxChunkValues) {
        const std::uint16_t counter = readU16(frames + frame * frameSize + frameCounterOffset);
        int fill = 0;
        std::int64_t lost = 0;
        if (resync_) {
            resync_ = false;
        } else if (counter != expected_ || droppedBefore_ > 0) {
            clean_ = false;
            chunkHasGaps_ = true;
            // Modulo 2^16: from 65534 to 1 the frames 65535 and 0 are missing. Frames dropped
            // here are known exactly; the counter adds what the box lost besides.
            const std::int64_t gap =
                droppedBefore_ + static_cast<std::uint16_t>(counter - expected_ - droppedBefore_);
            droppedBefore_ = 0;
            fill = static_cast<int>(std::min<std::int64_t>(gap, maxGapFill));
            // The frame's own value must still fit after the substitutes.
            if (values + fill > maxChunkValues - 1) {
                fill = maxChunkValues - 1 - values;
                heavyLoss_ = true;
            }
            lostFrames_ += gap;
            unfilledFrames_ += gap - fill;
            lost = gap;
        }
        gaps_[static_cast<size_t>(frame)] = fill;
        lost_[static_cast<size_t>(frame)] = lost;
        values += fill + 1;
        expected_ = static_cast<std::uint16_t>(counter + 1);
        ++frame;
    }
    chunkValues_ = values;
    return frame;
}

template <class Read>
int FrameDecoder::fill(const std::uint8_t* frames, int frameCount, double* out, Read read) const {
    const size_t frameSize = static_cast<size_t>(frameSize_);
    if (!chunkHasGaps_) {
        for (int frame = 0; frame < frameCount; ++frame)
            out[frame] = read(frames + static_cast<size_t>(frame) * frameSize);
        return frameCount;
    }
    int count = 0;
    for (int frame = 0; frame < frameCount; ++frame) {
        for (int n = gaps_[static_cast<size_t>(frame)]; n > 0; --n)
            out[count++] = substitute_;
        out[count++] = read(frames + static_cast<size_t>(frame) * frameSize);
    }
    return count;
}

void FrameDecoder::reportLosses(SampleTarget& target) const {
    int at = 0;
    for (int frame = 0; at < chunkValues_; ++frame) {
        const auto f = static_cast<size_t>(frame);
        if (lost_[f] > 0)
            target.framesLost(at, lost_[f], gaps_[f]);
        at += gaps_[f] + 1;
    }
}

bool FrameDecoder::readable(const SourceLayout& source) const {
    const int size = sizeOfKind(source.kind);
    return size > 0 && source.offset >= frameHeaderSize && source.offset + size <= frameSize_;
}

int FrameDecoder::extract(const SourceLayout& source, bool unwrapped, double factor,
                          PositionUnwrap& unwrap, const std::uint8_t* frames, int frameCount,
                          double* out) const {
    // A source the frame does not carry (records of another layout, a box without inputs)
    // reads as 0 rather than outside the frame.
    const int kind = readable(source) ? source.kind : 0;
    const size_t offset = static_cast<size_t>(source.offset);
    switch (kind) {
    case SignalEntry::BitA:
    case SignalEntry::BitB:
    case SignalEntry::BitR: {
        // Levels are 0 or 1 whatever the unit; the factor does not apply.
        const std::uint8_t mask = static_cast<std::uint8_t>(1 << (kind - SignalEntry::BitA));
        const bool invert = source.invertBit;
        return fill(frames, frameCount, out, [=](const std::uint8_t* frame) {
            return ((frame[offset] & mask) != 0) != invert ? 1.0 : 0.0;
        });
    }
    case SignalEntry::Int16:
        return fill(frames, frameCount, out,
                    [=](const std::uint8_t* frame) { return readI16(frame + offset) * factor; });
    case SignalEntry::Int32:
        if (unwrapped) {
            // A local copy lets the compiler keep the state in registers over the chunk.
            PositionUnwrap state = unwrap;
            const int count = fill(frames, frameCount, out, [&](const std::uint8_t* frame) {
                return static_cast<double>(state.next(readI32(frame + offset))) * factor;
            });
            unwrap = state;
            return count;
        }
        return fill(frames, frameCount, out,
                    [=](const std::uint8_t* frame) { return readI32(frame + offset) * factor; });
    default:
        return fill(frames, frameCount, out, [](const std::uint8_t*) { return 0.0; });
    }
}

DecodeResult FrameDecoder::decode(const std::uint8_t* frames, int frameCount,
                                  const std::vector<GraphFeed>& graphs, StatusDisplay* display) {
    DecodeResult result;
    if (!frames || frameCount <= 0 || frameSize_ < frameHeaderSize)
        return result;
    receivedFrames_ += frameCount;
    const size_t frameSize = static_cast<size_t>(frameSize_);
    while (result.frames < frameCount && !result.full) {
        const std::uint8_t* chunk = frames + static_cast<size_t>(result.frames) * frameSize;
        const int chunkFrames = planChunk(chunk, frameCount - result.frames);
        for (const GraphFeed& graph : graphs) {
            if (!graph.target)
                continue;
            if (chunkHasGaps_)
                reportLosses(*graph.target);
            if (graph.channels) {
                for (size_t c = 0; c < graph.channels->size(); ++c) {
                    ChannelRuntime& record = (*graph.channels)[c];
                    const bool unwrapped = record.op != OperationNone;
                    const int count = extract(record.source, unwrapped, record.factor,
                                              record.unwrap, chunk, chunkFrames, values_.data());
                    int count2 = 0;
                    if (record.op == OperationAdd || record.op == OperationSubtract)
                        count2 = extract(record.source2, unwrapped, record.factor2, record.unwrap2,
                                         chunk, chunkFrames, values2_.data());
                    const int handed =
                        computeChannel(record, values_, values2_, count, count2, rate_);
                    graph.target->appendSamples(static_cast<int>(c), values_.data(), handed);
                }
            }
            if (graph.target->advance(chunkValues_))
                result.full = true;
        }
        result.frames += chunkFrames;
        ++result.chunks;

        result.status = clean_ ? DecodeStatus::Recording
                               : (heavyLoss_ ? DecodeStatus::HeavyLoss : DecodeStatus::SampleError);
        result.worst = moreSevere(result.worst, result.status);
        clean_ = true;
        if (display)
            display->showStatus(result.status);
    }
    if (result.frames < frameCount)
        passOver(frames + static_cast<size_t>(result.frames) * frameSize,
                 frameCount - result.frames);
    return result;
}

void FrameDecoder::skip(const std::uint8_t* frames, int frameCount) {
    if (!frames || frameCount <= 0 || frameSize_ < frameHeaderSize)
        return;
    receivedFrames_ += frameCount;
    passOver(frames, frameCount);
}

void FrameDecoder::passOver(const std::uint8_t* frames, int frameCount) {
    // Frames dropped on purpose are no loss: the next frame expected is the one after the last
    // of them.
    skippedFrames_ += frameCount;
    const std::uint8_t* last = frames + static_cast<size_t>(frameCount - 1) * frameSize_;
    expected_ = static_cast<std::uint16_t>(readU16(last + frameCounterOffset) + 1);
}
