#pragma once

#include "config/Config.h"
#include "files/DataFileUI.h"
#include "files/GraphSamples.h"

#include <string>

// Saves the recording as a MAT file with the configuration beside it (same base name, ".cfg");
// an earlier pair of that name is replaced by both new files or kept as it was.
// Per graph holding samples: a struct named after the graph with the field "fft" ("true" or
// "false") and per channel a struct with "data" (N x 1), "unit" and "color" (3 x 1, 0...1);
// per diagnostic view a struct with "diagnostic" (the view), "graph" (its caption) and one
// 1 x 1 double per figure; then "time" (L x 1, s). Empty names are replaced in the configuration
// (see NameReplacement.h). Samples a stopped sweep did not reach are written as NaN. Returns true
// when the file was written.
bool writeMatDataFile(const std::string& path, Config& config, const GraphSamples& graphs,
                      DataFileUI& ui);
