#pragma once

#include "KLib/IO/IODevice.h"
#include "acquisition/FrameRing.h"

#include <cstdint>
#include <vector>

// The reader thread's receive area. Each pass reads once from the data pipe behind the part
// frame left over from the previous pass, hands the whole frames to the ring and keeps the new
// part frame for the next pass.
class FrameReader {
public:
    static constexpr int readSize = 262144; // bytes requested per pipe read

    FrameReader();

    // Reads up to readSize bytes from the pipe behind the carried part frame. A frame size other
    // than the previous pass's discards the carry, which belongs to the old layout. Returns the
    // bytes received, 0 on a time-out, -1 when the pipe failed (nothing is kept then) or when
    // the frame size is not positive (nothing is read then).
    int receive(KLib::IODevice& pipe, int frameSize);

    // Hands the whole frames received to the ring and keeps the trailing part frame. Returns
    // the number of whole frames handed over (the ring may have dropped some of them).
    int deliver(FrameRing& ring);

    void discardCarry() { filled_ = 0; }
    int carry() const { return filled_; } // bytes of the part frame waiting for the next read
    int areaSize() const { return static_cast<int>(area_.size()); }

private:
    // Carry plus one read must always fit: the area is the read size plus the largest frame.
    std::vector<std::uint8_t> area_;
    int filled_ = 0;    // bytes received and not yet handed over
    int frameSize_ = 0; // bytes, the frame size of the bytes in the area
};
