// Graph data windows are allocated at their full size; a display time or rate that asks for
// more than the machine has is refused before anything is rebuilt, and so is a log, unless it
// goes into a file.

#include "control/AvailableMemory.h"
#include "control/MainController.h"
#include "graph/WindowMemory.h"

namespace {
// Left to the rest of the system and the program, of what is available.
constexpr std::uint64_t reserveDivisor = 8;
} // namespace

std::uint64_t MainController::builtWindowBytes() const {
    return windowBytes(config_, config_.inputSettings.displayTime);
}

bool MainController::windowsFit(const Config& next) {
    return windowsFit(windowBytes(next, next.inputSettings.displayTime), builtWindowBytes());
}

bool MainController::windowsFit(std::uint64_t needed, std::uint64_t current) {
    const std::string shortfall = memoryShortfall(needed, current);
    if (!shortfall.empty())
        ui_.showStatus(shortfall);
    return shortfall.empty();
}

std::string MainController::memoryShortfall(std::uint64_t needed, std::uint64_t current) const {
    // The windows built now are given back when the new ones are made.
    if (needed <= current)
        return std::string();
    const std::uint64_t available = availableMemory_();
    if (needed - current <= available - available / reserveDivisor)
        return std::string();
    return "Not enough memory for the graphs: " + memoryText(needed) + " needed, " +
           memoryText(available + current) + " available.";
}

std::string MainController::logShortfall() const {
    const InputSettings& inputs = config_.inputSettings;
    const std::uint64_t samples = sweepSamples(inputs, inputs.logTime);
    const std::string memory =
        memoryShortfall(windowBytesForSamples(config_, samples), builtWindowBytes());
    if (!memory.empty() || samples <= static_cast<std::uint64_t>(maxWindowCapacity))
        return memory;
    return "The log is too long for the graphs: " + std::to_string(samples) +
           " samples per channel, a graph holds " + std::to_string(maxWindowCapacity) + ".";
}
