#pragma once

#include "config/Config.h"

#include <string>
#include <vector>

// What a signal measures; it decides which units and operations a channel on it may use.
enum class SignalClass {
    NoInput,   // the input number lies outside the inputs
    Position,  // encoder positions, SSI position words
    Velocity,  // encoder velocities, SSI velocity words
    Voltage,   // analog tracks and analog inputs
    Level,     // digital levels A and B, raw SSI words
    ZeroPulse, // the R level of an encoder
    Other,     // a signal number outside the input's signals, SSI words of an unknown type
};

SignalClass signalClass(const InputSettings& inputs, int input, int signal);

// Unit indices offered for a signal under an operation, in display order; none for an input
// outside the inputs or an operation outside 0 ... 3.
std::vector<int> allowedUnits(const InputSettings& inputs, int input, int signal, int op);

// Operation indices offered for a signal, in display order.
std::vector<int> allowedOperations(const InputSettings& inputs, int input, int signal);

// Appends the names of the allowed units to `choice` and returns the position of currentUnit
// among them, 0 when it is not offered.
int fillUnitChoice(const InputSettings& inputs, int input, int signal, int op, int currentUnit,
                   std::vector<std::string>& choice);

// Appends the names of the allowed operations to `choice` and returns the position of
// currentOp among them, 0 when it is not offered.
int fillOperationChoice(const InputSettings& inputs, int input, int signal, int currentOp,
                        std::vector<std::string>& choice);
