#pragma once

#include "config/Config.h"

// Brings a configuration into the limits the program can work with, in place and silently:
// the sample rate into 100 ... 500000 samples per second, the display time into 0.01 ... 1000 s
// (a time that is not a number becomes 0.01 s), and every channel's unit into the units its
// signal and operation allow.
void checkConfiguration(Config& config);
