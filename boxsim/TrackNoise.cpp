#include "boxsim/TrackNoise.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace boxsim {

namespace {

constexpr uint64_t kSeed = 0x4F52564132424F58; // fixed, so that every simulator run replays
constexpr double kTwoPi = 6.283185307179586;

// The finaliser of splitmix64: every input bit changes about half the output bits.
uint64_t mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
}

// The upper 53 bits as a number in [0, 1).
double unit(uint64_t bits) {
    return static_cast<double>(bits >> 11) * 0x1p-53;
}

} // namespace

NoisePair gaussianNoise(int stream, double seconds) {
    uint64_t moment = 0;
    std::memcpy(&moment, &seconds, sizeof moment);
    const uint64_t first = mix(moment ^ mix(kSeed + static_cast<uint64_t>(stream)));
    const uint64_t second = mix(first);
    // Box-Muller; 1 - u lies in (0, 1], where the logarithm is finite.
    const double radius = std::sqrt(-2.0 * std::log(1.0 - unit(first)));
    const double angle = kTwoPi * unit(second);
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

} // namespace boxsim
