#include "device/ConfigurationCommands.h"

#include "signal/Filters.h"

#include <algorithm>
#include <cstdint>

int frequencyCommandValue(int rate, int systemFrequency) {
    if (systemFrequency <= 0)
        return 0;
    // 128-bit so that no rate read from a file can overflow the product; a multiplication, not a
    // shift, since a partly read file can leave a negative rate.
    const __int128 value = static_cast<__int128>(rate) * (__int128{1} << 38) / systemFrequency;
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

int thresholdCommandValue(int thresholdMillivolts) {
    const long long value = static_cast<long long>(thresholdMillivolts) * 100 / 432 + 128;
    return static_cast<int>(std::clamp(value, 0LL, 255LL));
}

std::string inputPrefix(int input) {
    return "IN:" + std::to_string(input + 1);
}

namespace {

int flagMask(const SSIInput& ssi, bool SSIInputWordDetails::*flag) {
    int mask = 0;
    for (int k = 0; k < SSIInput::wordCount; ++k)
        if (ssi.words[k].*flag)
            mask |= 1 << k;
    return mask;
}

} // namespace

std::vector<ValueCommand> configurationCommands(const InputSettings& inputs) {
    std::vector<ValueCommand> commands;
    const int frequency = frequencyCommandValue(inputs.rate, inputs.systemFrequency);
    commands.push_back({"OUT:USB:FREQ", frequency});
    commands.push_back({"OUT:USB:FREQ", frequency});

    const int clock = inputs.systemFrequency;
    int input = 0;
    for (const SineInput& sine : inputs.sineInputs) {
        const std::string p = inputPrefix(input++);
        commands.push_back({p + ":THRESHOLD", thresholdCommandValue(sine.threshold)});
        commands.push_back({p + ":FILTER", filterIndex(clock, sine.filter)});
        commands.push_back({p + ":FILTERA", filterIndex(clock, sine.filtera)});
        commands.push_back({p + ":FILTERB", filterIndex(clock, sine.filterb)});
    }
    for (const SquareInput& square : inputs.squareInputs)
        commands.push_back({inputPrefix(input++) + ":FILTER", filterIndex(clock, square.filter)});
    for (const SSIInput& ssi : inputs.ssiInputs) {
        const std::string p = inputPrefix(input++);
        commands.push_back({p + ":FREQUENCY", ssi.frequency});
        commands.push_back({p + ":MONOFLOP", ssi.monoflopTime});
        commands.push_back({p + ":CABLELENGTH", ssi.cableLength});
        commands.push_back({p + ":WORDS", ssi.numWords});
        for (int k = 0; k < SSIInput::wordCount; ++k)
            commands.push_back({p + ":WORD" + std::to_string(k) + "BITS", ssi.words[k].numBits});
        commands.push_back({p + ":GRAY", ssi.gray ? 1 : 0});
        commands.push_back({p + ":SIGN", flagMask(ssi, &SSIInputWordDetails::sign)});
        commands.push_back({p + ":ZEROWORDS", flagMask(ssi, &SSIInputWordDetails::man_zero)});
    }
    for (const AnalogInput& analog : inputs.analogInputs)
        commands.push_back({inputPrefix(input++) + ":FILTER", filterIndex(clock, analog.filter)});
    // The name ends with a blank, so the line reads "TRIGGER:RUN  0" with two blanks.
    commands.push_back({"TRIGGER:RUN ", 0});
    return commands;
}

std::vector<ValueCommand> selectionCommands(const std::vector<int>& selectMasks) {
    std::vector<ValueCommand> commands;
    for (std::size_t n = 0; n < selectMasks.size(); ++n)
        commands.push_back({inputPrefix(static_cast<int>(n)) + ":SELECT", selectMasks[n]});
    return commands;
}
