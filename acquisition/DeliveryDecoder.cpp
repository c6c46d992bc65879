#include "acquisition/DeliveryDecoder.h"

#include <algorithm>

void DeliveryDecoder::configure(int frameSize, double substitute, double rate,
                                const std::vector<std::vector<ChannelRuntime>>& graphChannels) {
    std::lock_guard<std::mutex> guard(lock_);
    decoder_.configure(frameSize, substitute, rate);
    decoder_.resynchronise();
    frameSize_ = frameSize;
    channels_ = graphChannels;
    std::vector<std::size_t> shape;
    for (const std::vector<ChannelRuntime>& channels : channels_)
        shape.push_back(channels.size());
    staged_.shape(shape);
    armed_ = true;
    decoding_ = false;
}

void DeliveryDecoder::disarm() {
    std::lock_guard<std::mutex> guard(lock_);
    armed_ = false;
    decoding_ = false;
    staged_.clear();
}

void DeliveryDecoder::resetPositionUnwrap() {
    std::lock_guard<std::mutex> guard(lock_);
    for (std::vector<ChannelRuntime>& channels : channels_)
        for (ChannelRuntime& channel : channels)
            channel.resetUnwrap();
}

void DeliveryDecoder::begin(const std::uint8_t* frames, int bytes, std::int64_t droppedBehind,
                            bool current) {
    std::lock_guard<std::mutex> guard(lock_);
    staged_.clear();
    decoding_ = armed_ && current && frameSize_ > 0;
    if (!decoding_)
        return;
    frames_ = frames;
    frameCount_ = bytes / frameSize_;
    decodedFrames_ = 0;
    droppedBehind_ = droppedBehind;
    decodePiece();
}

void DeliveryDecoder::decodeNext() {
    std::lock_guard<std::mutex> guard(lock_);
    staged_.clear();
    if (decoding_)
        decodePiece();
}

void DeliveryDecoder::decodePiece() {
    // Slices of one chunk's frames, so that the record stops close to its budget.
    std::vector<GraphFeed> feeds = staged_.feeds(channels_);
    while (decodedFrames_ < frameCount_ && staged_.values() < pieceValues) {
        const int slice = std::min(FrameDecoder::maxChunkFrames, frameCount_ - decodedFrames_);
        decoder_.decode(frames_ + static_cast<std::size_t>(decodedFrames_) * frameSize_, slice,
                        feeds, &staged_);
        decodedFrames_ += slice;
    }
}

StagedDelivery::Replay DeliveryDecoder::replay(const std::vector<SampleTarget*>& targets,
                                               bool& more) const {
    std::lock_guard<std::mutex> guard(lock_);
    more = decoding_ && decodedFrames_ < frameCount_;
    if (!decoding_)
        return {};
    return staged_.replay(targets);
}

void DeliveryDecoder::finish() {
    std::lock_guard<std::mutex> guard(lock_);
    if (!decoding_)
        return;
    if (decodedFrames_ < frameCount_)
        decoder_.skip(frames_ + static_cast<std::size_t>(decodedFrames_) * frameSize_,
                      frameCount_ - decodedFrames_);
    decoder_.noteDroppedFrames(droppedBehind_);
    decoding_ = false;
    staged_.clear();
}

FrameCounts DeliveryDecoder::counts() const {
    std::lock_guard<std::mutex> guard(lock_);
    return {decoder_.receivedFrames(), decoder_.lostFrames()};
}
