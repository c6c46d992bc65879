#pragma once

#include "config/Config.h"
#include "graph/EditCommands.h"

#include <array>
#include <cstddef>

// Line colours (0xRRGGBB) of new channels by their position in the graph, repeating after nine:
// blue, red, green, navy, maroon, purple, sky blue, orange, black.
constexpr std::array<int, 9> channelPalette{0x0000FF, 0xFF0000, 0x008000, 0x000080, 0x800000,
                                            0x800080, 0x0080FF, 0xFF8000, 0x000000};

// The colour of a channel added or inserted at `position`.
int paletteColour(std::size_t position);

// The dialogs of the editing commands. Each edits the record it is given and returns true when
// the user confirmed; the caller keeps the record unchanged otherwise.
class RecordEditor {
public:
    virtual ~RecordEditor() = default;
    // Caption, limits and stop flag of a graph.
    virtual bool editGraph(GraphData& graph) = 0;
    // The FFT settings of a graph, for its FFT view.
    virtual bool editFFT(GraphData& graph) = 0;
    virtual bool editChannel(const InputSettings& inputs, ChannelData& channel) = 0;
    // The nominal circle and tolerance ring of a graph's Lissajous view.
    virtual bool editLissajous(GraphData& graph) = 0;
};

// The diagnostic views a graph can have below it.
enum class DiagnosticView { None, Lissajous, SignalQuality, Statistics };

// What a context menu was opened on.
struct GraphTarget {
    int graph = -1;       // index in the graph list; -1: none (Edit > Add Graph)
    bool fftView = false; // the graph's FFT view rather than its time graph
    // One of the graph's diagnostic views rather than its time graph.
    DiagnosticView diagnostic = DiagnosticView::None;
    int channel = -1; // the selected channel; -1: none
};

enum class GraphChangeKind {
    none,
    graphAdded, // a new record at GraphChange::graph
    graphEdited,
    graphRemoved, // the record that was at GraphChange::graph
    fftAdded,
    fftEdited,
    fftRemoved,
    lissajousAdded,
    lissajousEdited,
    lissajousRemoved,
    signalQualityAdded,
    signalQualityRemoved,
    statisticsAdded,
    statisticsRemoved,
    channelInserted, // a new channel at GraphChange::channel
    channelEdited,
    channelRemoved, // the channel that was at GraphChange::channel
};

struct GraphChange {
    GraphChangeKind kind = GraphChangeKind::none;
    int graph = -1;
    int channel = -1;
};

// The SinCos input a Lissajous view of `graph` shows: the first whose Analog A and Analog B are
// both plain channels (op 0) of the graph; -1 when there is none.
int lissajousInputOf(const InputSettings& inputs, const GraphData& graph);

// Applies one editing command to the graph list. Changes nothing (kind none) while the graphs
// are locked, for an unknown command, a target out of range, a dialog that was cancelled, or
// adding a view the graph already has or cannot show: a Lissajous view needs a SinCos input
// with both analog tracks in the graph, the signal quality a plain channel of a SinCos, HTL/TTL
// or SSI input.
GraphChange applyGraphCommand(Config& config, RecordEditor& editor, int command,
                              const GraphTarget& target);

// Whether applyGraphCommand would change something, taking every dialog as confirmed; menus
// grey out the commands that would not.
bool graphCommandApplies(const Config& config, int command, const GraphTarget& target);
