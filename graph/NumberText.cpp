#include "graph/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::string fixedText(double value, int decimals) {
    // Room for the 309 digits of the largest double, a sign, the mark and the decimals.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 17));
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

std::string valueText(double value) {
    const double magnitude = std::fabs(value);
    int decimals = 0;
    if (magnitude < 10.0)
        decimals = 5;
    else if (magnitude < 100.0)
        decimals = 4;
    else if (magnitude < 1000.0)
        decimals = 3;
    else if (magnitude < 10000.0)
        decimals = 2;
    else if (magnitude < 100000.0)
        decimals = 1;
    return fixedText(value, decimals);
}
