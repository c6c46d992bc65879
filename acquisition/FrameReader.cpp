#include "acquisition/FrameReader.h"

#include "signal/ChannelSelection.h"

#include <algorithm>
#include <cstring>

FrameReader::FrameReader() : area_(static_cast<size_t>(readSize + maxFrameSize), 0) {}

int FrameReader::receive(KLib::IODevice& pipe, int frameSize) {
    if (frameSize <= 0)
        return -1;
    if (frameSize != frameSize_) {
        frameSize_ = frameSize;
        filled_ = 0;
        // Only a box with more slots than any known one needs more; never in the loop otherwise.
        if (areaSize() < readSize + frameSize)
            area_.resize(static_cast<size_t>(readSize + frameSize), 0);
    }
    const int got = pipe.read(&area_[static_cast<size_t>(filled_)], readSize);
    if (got <= 0)
        return got < 0 ? -1 : 0;
    filled_ += std::min(got, readSize);
    return std::min(got, readSize);
}

int FrameReader::deliver(FrameRing& ring) {
    if (frameSize_ <= 0)
        return 0;
    const int frames = filled_ / frameSize_;
    const int length = frames * frameSize_;
    ring.store(area_.data(), length, frameSize_);
    filled_ -= length;
    if (filled_ > 0 && length > 0)
        std::memmove(area_.data(), &area_[static_cast<size_t>(length)],
                     static_cast<size_t>(filled_));
    return frames;
}
