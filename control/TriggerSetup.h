#pragma once

#include "config/Config.h"
#include "control/TriggerGate.h"

#include <string>

// The trigger of the configuration made concrete for a sweep of `capacity` samples: which
// graph's channel, what level and slope, how many samples of history. `problem` says why
// there is none: a graph or channel that no longer exists, a pulse no graph shows, a level
// that is not a number.
struct TriggerSetup {
    bool usable = false;
    TriggerCondition condition;
    std::string problem;
};

TriggerSetup setUpTrigger(const Config& config, int capacity);

// "Waiting for trigger...", and once `timeout` seconds have passed without an event, the
// text that says how long it has been waiting.
std::string waitingText(double waitedSeconds, double timeoutSeconds);
