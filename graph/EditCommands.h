#pragma once

// Command ids of the graph panel's context menus. "Add graph" is also the main window's
// Edit > Add Graph item.
enum EditCommandId {
    addGraphCommand = 10100,
    insertGraphCommand = 10101,
    editGraphCommand = 10102,
    removeGraphCommand = 10103,
    addFFTGraphCommand = 10104,
    addChannelCommand = 10105,
    insertChannelCommand = 10106,
    editChannelCommand = 10107,
    removeChannelCommand = 10108,
    addLissajousCommand = 10109,
    signalQualityCommand = 10110,
    statisticsCommand = 10111,
    clearCursorsCommand = 10112,
};
