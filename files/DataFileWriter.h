#pragma once

#include "config/Config.h"
#include "files/DataFileUI.h"
#include "files/GraphSamples.h"

#include <string>

// Save Data: a MAT file (with its side configuration) for the extension "mat", CSV for "csv";
// any other extension, ".MAT" included, is reported as "Unknown file type". Returns true when
// a file was written.
bool writeDataFile(const std::string& path, Config& config, const GraphSamples& graphs,
                   DataFileUI& ui);
