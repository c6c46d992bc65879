#include "signal/AllowedChoices.h"

#include "signal/Inputs.h"
#include "signal/Units.h"

#include <algorithm>

namespace {

SignalClass encoderClass(int signal, SignalClass levelClass) {
    switch (signal) {
    case 0:
        return SignalClass::Position;
    case 1:
        return SignalClass::Velocity;
    case 2:
    case 3:
        return levelClass;
    case 4:
        return SignalClass::ZeroPulse;
    default:
        return SignalClass::Other;
    }
}

SignalClass ssiWordClass(const SSIInput& ssi, int word) {
    if (word < 0 || word >= SSIInput::wordCount)
        return SignalClass::Other;
    switch (ssi.words[word].type) {
    case SSIInputWordDetails::Position:
        return SignalClass::Position;
    case SSIInputWordDetails::Velocity:
        return SignalClass::Velocity;
    case SSIInputWordDetails::Raw:
        return SignalClass::Level;
    default:
        return SignalClass::Other;
    }
}

// Appends the names of `offered` (through nameOf) and returns the position of current in it.
template <class NameOf>
int fillChoice(const std::vector<int>& offered, int current, NameOf nameOf,
               std::vector<std::string>& choice) {
    for (int index : offered)
        choice.push_back(nameOf(index));
    const auto found = std::find(offered.begin(), offered.end(), current);
    return found == offered.end() ? 0 : static_cast<int>(found - offered.begin());
}

} // namespace

SignalClass signalClass(const InputSettings& inputs, int input, int signal) {
    const auto location = locateInput(inputs, input);
    if (!location)
        return SignalClass::NoInput;
    switch (location->kind) {
    case InputKind::SinCos:
        return encoderClass(signal, SignalClass::Voltage);
    case InputKind::HtlTtl:
        return encoderClass(signal, SignalClass::Level);
    case InputKind::Ssi:
        return ssiWordClass(inputs.ssiInputs[static_cast<size_t>(location->index)], signal);
    case InputKind::Analog:
        return signal == 0 ? SignalClass::Voltage : SignalClass::Other;
    }
    return SignalClass::Other;
}

std::vector<int> allowedUnits(const InputSettings& inputs, int input, int signal, int op) {
    if (op < 0 || op >= operationCount)
        return {};
    const bool differentiated = op == OperationDifferentiate;
    switch (signalClass(inputs, input, signal)) {
    case SignalClass::NoInput:
        return {};
    case SignalClass::Position:
        // Turns and lengths; differentiated, their rates.
        if (differentiated)
            return {7, 8, 9, 10, 11, 12, 13, 14};
        return {1, 2, 3, 4, 5, 6};
    case SignalClass::Velocity:
        // Rates; differentiated, accelerations (there is no arc seconds per second squared).
        if (differentiated)
            return {17, 18, 19, 20, 21, 22, 23};
        return {7, 8, 9, 10, 11, 12, 13, 14};
    case SignalClass::Voltage:
        if (differentiated)
            return {0};
        return {15, 16};
    case SignalClass::Level:
    case SignalClass::ZeroPulse:
    case SignalClass::Other:
        break;
    }
    if (differentiated)
        return {0};
    return {1};
}

std::vector<int> allowedOperations(const InputSettings& inputs, int input, int signal) {
    switch (signalClass(inputs, input, signal)) {
    case SignalClass::NoInput:
        return {};
    case SignalClass::Position:
    case SignalClass::Velocity:
        return {OperationNone, OperationAdd, OperationSubtract, OperationDifferentiate};
    case SignalClass::Voltage:
    case SignalClass::Level:
        return {OperationNone, OperationAdd, OperationSubtract};
    case SignalClass::ZeroPulse:
    case SignalClass::Other:
        break;
    }
    return {OperationNone};
}

int fillUnitChoice(const InputSettings& inputs, int input, int signal, int op, int currentUnit,
                   std::vector<std::string>& choice) {
    return fillChoice(allowedUnits(inputs, input, signal, op), currentUnit, unitName, choice);
}

int fillOperationChoice(const InputSettings& inputs, int input, int signal, int currentOp,
                        std::vector<std::string>& choice) {
    return fillChoice(allowedOperations(inputs, input, signal), currentOp, operationName, choice);
}
