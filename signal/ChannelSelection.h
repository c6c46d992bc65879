#pragma once

#include "config/Config.h"
#include "signal/Catalogue.h"
#include "signal/ChannelComputation.h"

#include <vector>

// Every sample frame starts with one byte this program does not read and the 16-bit frame
// counter (little-endian, bytes 1 and 2); the selected slots follow.
constexpr int frameHeaderSize = 3;
constexpr int frameCounterOffset = 1;

// The box has at most 40 slots of at most 4 bytes each, which bounds the frame size in bytes.
constexpr int maxSlotCount = 40;
constexpr int maxFrameSize = frameHeaderSize + 4 * maxSlotCount;

// Which slots the box is asked to send, and how the frames it then sends are laid out.
struct ChannelSelection {
    Catalogue catalogue;
    std::vector<bool> usedSlots;     // by slot number, catalogue.slotCount entries
    std::vector<int> selectMasks;    // the SELECT mask of each input, in input order
    std::vector<int> slotOffsets;    // bytes from the frame start, by slot number; -1 when unused
    int frameSize = frameHeaderSize; // bytes
    // One record per channel of each graph, graphs in the order of the graph list.
    std::vector<std::vector<ChannelRuntime>> graphChannels;
};

// Computes the selection for the inputs and graphs of a configuration. Channel sources outside
// the catalogue are moved to the nearest existing input and signal.
ChannelSelection computeChannelSelection(const Config& config);
