#pragma once

#include "config/Config.h"
#include "files/DataFileUI.h"
#include "files/GraphSamples.h"

#include <string>

// Saves the recording as CSV text for spreadsheets of the process locale: ";" between cells
// when the locale writes a decimal comma, else ",". Lines: "time" and graph.channel names, "s"
// and the units, the colours (components 0...1 with "." always), then one line per sample with
// the time (s) and every channel's value. Channel names are fixed in the configuration (see
// NameReplacement.h), counting only this export's replacements. Cells without a sample (a
// stopped sweep, a shorter graph) stay empty. Returns true when the file was written.
bool writeCsvFile(const std::string& path, Config& config, const GraphSamples& graphs,
                  DataFileUI& ui);

// ";" when "%g" writes 1.1 as "1,1" in the process locale, else ",".
char csvSeparator();
