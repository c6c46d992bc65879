#pragma once

#include "config/Config.h"
#include "files/FileProgress.h"

#include <string>
#include <vector>

// What a MAT data file holds, read in file order.
struct LoadedChannel {
    std::string name;
    bool hasUnit = false;
    std::string unitText;
    int color = 0; // 0xRRGGBB; 0 without a "color" field
    std::vector<double> values;
};

struct LoadedGraph {
    std::string name; // as in the file, may be empty
    bool fft = false; // "fft" present with any text but "false"
    std::vector<LoadedChannel> channels;
};

struct LoadedData {
    std::vector<LoadedGraph> graphs;
    bool hasRate = false;
    int rate = 0;   // samples per second, from the first two values of "time"
    int maxLen = 0; // values of the longest channel
};

// Reads a MAT data file; false when it can't be opened or is malformed. The reading of a large
// file reports its progress.
bool readMatDataFile(const std::string& path, LoadedData& data, FileProgress* progress = nullptr);

// Build mode (no configuration file beside the data file): appends the file's graphs and
// channels with default fields, their units, colours and FFT flags, takes the rate from "time"
// and sets the display time to the longest channel. A unit text the program does not know
// keeps the default unit. Empty graph names become
// "no_caption<i>", counting graphs only.
void applyLoadedData(const LoadedData& data, Config& config);
