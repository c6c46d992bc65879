#include "signal/Filters.h"

#include "signal/ClockExponent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int filterFrequency(int systemFrequency, int setting) {
    // Without a running clock there is no filter; this also keeps the float-to-int conversion
    // below in range.
    if (systemFrequency <= 0)
        return 0;
    const int i = std::clamp(setting, 0, filterSettingCount - 1);
    // Single precision throughout, so that the texts match the ones the box was set up with.
    const float pi = 3.1415927f;
    const float base = static_cast<float>(systemFrequency) /
                       std::ldexp(1.0f, filterExponent(systemFrequency)); // Hz
    const float hz = std::ldexp(1.0f, i) * base * 2.5f / (2.0f * pi) + 0.5f;
    return static_cast<int>(std::floor(hz));
}

std::vector<std::string> filterFrequencies(int systemFrequency) {
    std::vector<std::string> texts;
    for (int i = 0; i < filterSettingCount; ++i)
        texts.push_back(std::to_string(filterFrequency(systemFrequency, i)));
    return texts;
}

int filterIndex(int systemFrequency, int hz) {
    int best = 0;
    long long bestDistance = -1;
    for (int i = 0; i < filterSettingCount; ++i) {
        const long long distance =
            std::llabs(static_cast<long long>(filterFrequency(systemFrequency, i)) - hz);
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}
