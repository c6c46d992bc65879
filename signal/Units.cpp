#include "signal/Units.h"

namespace {

struct Unit {
    const char* name;
    float factor;
};

// Radians per turn, from the single-precision pi.
constexpr float twoPi = 2.0f * 3.1415927f;
constexpr float arcSecondsPerTurn = 360.0f * 3600.0f;

constexpr Unit units[unitCount] = {
    {"", 1.0f},  // nothing applies
    {"1", 1.0f}, // turns, or a plain number
    {"rad", twoPi},
    {"\xB0", 360.0f},          // degrees
    {"\"", arcSecondsPerTurn}, // arc seconds
    {"m", 1.0f},
    {"mm", 1000.0f},
    {"1/s", 1.0f}, // turns per second
    {"rad/s", twoPi},
    {"\xB0/s", 360.0f},
    {"\"/s", arcSecondsPerTurn},
    {"m/s", 1.0f},
    {"mm/s", 1000.0f},
    {"1/min", 60.0f},
    {"m/min", 60.0f},
    {"V", 1.0f},
    {"mV", 1000.0f},
    {"1/ss", 1.0f}, // per second squared
    {"rad/ss", twoPi},
    {"\xB0/ss", 360.0f},
    {"m/ss", 1.0f},
    {"mm/ss", 1000.0f},
    {"1/minmin", 60.0f}, // per minute per second
    {"m/minmin", 60.0f},
};

constexpr const char* operations[operationCount] = {"none", "add", "subtract", "differentiate"};

bool inUnitTable(int index) {
    return index >= 0 && index < unitCount;
}

} // namespace

std::string unitName(int index) {
    return inUnitTable(index) ? units[index].name : "";
}

float unitFactor(int index) {
    return inUnitTable(index) ? units[index].factor : 1.0f;
}

int unitIndex(const std::string& name) {
    for (int i = 0; i < unitCount; ++i)
        if (name == units[i].name)
            return i;
    return -1;
}

std::string operationName(int index) {
    return index >= 0 && index < operationCount ? operations[index] : "";
}

int operationIndex(const std::string& name) {
    for (int i = 0; i < operationCount; ++i)
        if (name == operations[i])
            return i;
    return -1;
}
