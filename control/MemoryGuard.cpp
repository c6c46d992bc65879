// Graph data windows are allocated at their full size; a display time or rate that asks for
// more than the machine has is refused before anything is rebuilt.

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
    // The windows built now are given back when the new ones are made.
    if (needed <= current)
        return true;
    const std::uint64_t available = availableMemory_();
    if (needed - current <= available - available / reserveDivisor)
        return true;
    ui_.showStatus("Not enough memory for the graphs: " + memoryText(needed) + " needed, " +
                   memoryText(available + current) + " available.");
    return false;
}
