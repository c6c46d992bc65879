#pragma once

#include "config/Config.h"

#include <optional>
#include <string>
#include <vector>

// The box's inputs are numbered from 0 over the four input arrays in this order: every SinCos
// input, then every HTL/TTL input, then every SSI input, then every Analog input.
enum class InputKind { SinCos, HtlTtl, Ssi, Analog };

// Where an input number points: the kind of the input and its element in that kind's array.
struct InputLocation {
    InputKind kind;
    int index;
};

int inputCount(const InputSettings& inputs);

// The kind and array element of an input; nothing for a number outside the inputs.
std::optional<InputLocation> locateInput(const InputSettings& inputs, int input);

// "SinCos", "HTL/TTL", "SSI" or "Analog"; "" for a number outside the inputs.
std::string inputKindName(const InputSettings& inputs, int input);

// "Input 1 (SinCos)", ... one per input, in input order.
std::vector<std::string> inputNames(const InputSettings& inputs);

// The names of the signals an input offers; empty for a number outside the inputs. An SSI input
// offers one name per word in use.
std::vector<std::string> signalNames(const InputSettings& inputs, int input);

// The names of the SSI word types, indexed by SSIInputWordDetails::type.
std::vector<std::string> ssiWordTypeNames();
