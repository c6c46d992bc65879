#pragma once

#include "boxsim/BoxModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace boxtest {

// A box that turns at a constant speed, so that every position is easy to predict.
inline boxsim::BoxConfig steadyBox(double turnsPerSecond, const char* inputs = "sin2sq1ssi1ana1") {
    boxsim::BoxConfig config;
    config.inputs = *boxsim::parseInputCounts(inputs);
    config.speed.shape = boxsim::SpeedProfile::Shape::Constant;
    config.speed.a = turnsPerSecond;
    return config;
}

// 2^22 as phase increment: 976.5625 frames/s at 64 MHz, exactly 1.024 ms per frame.
constexpr int32_t kExactRateValue = 4194304;
constexpr double kExactRate = 976.5625;

inline std::string send(boxsim::BoxModel& box, const std::string& lines, double now = 0.0) {
    return box.receiveCommandBytes(lines, now);
}

inline uint32_t readLE(const std::string& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
    }
    return value;
}

inline int32_t readI32(const std::string& frame, size_t offset) {
    return static_cast<int32_t>(readLE(frame, offset, 4));
}

inline int16_t readI16(const std::string& frame, size_t offset) {
    return static_cast<int16_t>(readLE(frame, offset, 2));
}

inline uint16_t counterOf(const std::string& frame) {
    return static_cast<uint16_t>(readLE(frame, 1, 2));
}

// Cuts a byte stream into frames of `size`; a trailing partial frame is a failure the caller
// checks through the returned remainder.
inline std::vector<std::string> splitFrames(const std::string& bytes, int size,
                                            size_t* remainder = nullptr) {
    std::vector<std::string> frames;
    size_t offset = 0;
    for (; offset + size <= bytes.size(); offset += size) {
        frames.push_back(bytes.substr(offset, size));
    }
    if (remainder != nullptr) {
        *remainder = bytes.size() - offset;
    }
    return frames;
}

// Runs the box up to `now` and returns all frames it has ready.
inline std::vector<std::string> framesUntil(boxsim::BoxModel& box, double now) {
    box.advance(now);
    return splitFrames(box.takeFrames(SIZE_MAX), box.layout().frameSize);
}

} // namespace boxtest
