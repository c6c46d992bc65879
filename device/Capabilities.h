#pragma once

#include "config/Config.h"

#include <string>

// What a box reports about itself in reply to "KELLMAR:CAP?", e.g. "sin2sq1ssi1ana2sf64".
struct Capabilities {
    int sineInputs = 0;
    int squareInputs = 0;
    int ssiInputs = 0;
    int analogInputs = 0;
    int systemFrequency = 64000000; // Hz

    bool reportsInputs() const { return sineInputs + squareInputs + ssiInputs + analogInputs > 0; }
};

Capabilities parseCapabilities(const std::string& reply);

// Sizes the input arrays to the reported counts and stores the clock. A box that reports no
// input at all is driven as if it had one SinCos input; returns false in that case.
bool applyCapabilities(InputSettings& inputs, const Capabilities& capabilities);
