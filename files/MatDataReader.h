#pragma once

#include "config/Config.h"
#include "files/FileProgress.h"
#include "files/LossTable.h"

#include <string>
#include <vector>

// What a MAT data file holds, read in file order.
struct LoadedChannel {
    std::string name;
    bool hasUnit = false;
    std::string unitText;
    int color = 0; // 0xRRGGBB; 0 without a "color" field
    std::vector<double> values;
    // Where the values stand in the file when they were located instead of read: their first
    // byte (-1: read into values) and stored number type, and how many there are.
    std::int64_t valuesAt = -1;
    std::uint32_t valuesType = 0;
    std::uint64_t valueCount = 0;
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
    // The table "lost" of a recording: where and how many frames were lost.
    std::vector<FrameLoss> losses;
    // The sample of a triggered sweep's event, from 0; -1 without one.
    std::int64_t triggerIndex = -1;
};

// The rate (samples per second) from the first two time stamps (s) of a "time" column; false
// when they give none.
bool rateFromTime(const std::vector<double>& time, int& rate);

// 0xRRGGBB of a "color" field's three components (0...1); 0 when it has fewer.
int colorOfComponents(const std::vector<double>& components);

// Reads a MAT data file; false when it can't be opened or is malformed. The reading of a large
// file reports its progress. With `locateValues` the values of the channels are only located
// where the file stores them plainly, to be read in parts later.
bool readMatDataFile(const std::string& path, LoadedData& data, FileProgress* progress = nullptr,
                     bool locateValues = false);

// Build mode (no configuration file beside the data file): appends the file's graphs and
// channels with default fields, their units, colours and FFT flags, takes the rate from "time"
// and sets the display time to the longest channel. A unit text the program does not know
// keeps the default unit. Empty graph names become
// "no_caption<i>", counting graphs only.
void applyLoadedData(const LoadedData& data, Config& config);
