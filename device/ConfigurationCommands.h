#pragma once

#include "config/Config.h"

#include <string>
#include <vector>

// A command that carries a value: sent as the name, one blank and the value in decimal.
struct ValueCommand {
    std::string name;
    int value = 0;

    bool operator==(const ValueCommand& other) const {
        return name == other.name && value == other.value;
    }
};

// The value of "OUT:USB:FREQ": the box derives its output rate from a clock of
// systemFrequency/64 Hz and a 32-bit phase increment, value = rate * 2^32 / (systemFrequency/64),
// rounded down and sent as its low 32 bits read as a signed number.
int frequencyCommandValue(int rate, int systemFrequency);

// The value of "IN:n:THRESHOLD" for a zero-pulse threshold in mV, limited to 0 ... 255.
int thresholdCommandValue(int thresholdMillivolts);

// Every setting of the box, in the order the box expects it, ending with the run stop.
std::vector<ValueCommand> configurationCommands(const InputSettings& inputs);

// "IN:n:SELECT" for every input, n counted from 1, with the input's slot mask.
std::vector<ValueCommand> selectionCommands(const std::vector<int>& selectMasks);

// The prefix of the commands of input number n counted from 0: "IN:" and n + 1.
std::string inputPrefix(int input);
