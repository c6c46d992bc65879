#pragma once

#include <string>

// Units of a channel, indexed by ChannelData::unit. The factor converts the signal's base unit
// (turns or metres, turns per second, volts, plain numbers) into the unit.
constexpr int unitCount = 24;

// Operations of a channel, indexed by ChannelData::op.
enum ChannelOperation {
    OperationNone = 0,
    OperationAdd = 1,
    OperationSubtract = 2,
    OperationDifferentiate = 3,
};
constexpr int operationCount = 4;

// The unit's name in the program's 8-bit texts (the degree sign is the byte 0xB0); "" for an
// index outside the table.
std::string unitName(int index);

// The unit's factor; 1.0 for an index outside the table.
float unitFactor(int index);

// The first unit with exactly this name; -1 when there is none.
int unitIndex(const std::string& name);

// "none", "add", "subtract", "differentiate"; "" for an index outside the table.
std::string operationName(int index);

// The operation with exactly this name; -1 when there is none.
int operationIndex(const std::string& name);
