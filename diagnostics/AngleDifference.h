#pragma once

#include <cmath>

// later - earlier for two angles in -pi ... pi (rad), taken the short way round: -pi ... pi.
// One conditional turn instead of std::remainder, which costs several times as much in loops
// over every sample of a window.
inline double angleDifference(double later, double earlier) {
    const double difference = later - earlier;
    if (difference > M_PI)
        return difference - 2.0 * M_PI;
    if (difference < -M_PI)
        return difference + 2.0 * M_PI;
    return difference;
}
