#include "graph/ReadoutTexts.h"

#include <algorithm>
#include <cstdio>

namespace {

// printf follows the user's locale; the readout always shows a decimal point.
std::string withDecimalPoint(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

} // namespace

ReadoutField readoutFieldFor(const std::string& caption) {
    if (caption == "x")
        return ReadoutField::Position;
    if (caption == "v")
        return ReadoutField::Speed;
    return ReadoutField::None;
}

std::string positionReadout(double turns) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", turns);
    return withDecimalPoint(text);
}

std::string speedReadout(double rpm) {
    char text[64];
    std::snprintf(text, sizeof text, "%+.4f rpm", rpm);
    return withDecimalPoint(text);
}
