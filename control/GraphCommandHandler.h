#pragma once

#include "config/Config.h"
#include "control/GraphEditing.h"

class Instrument;
class InstrumentGraphBoard;
class MainController;

// The main window's side of the graph editing commands: finds the graph of the instrument a
// menu was opened on, applies the command to the configuration, brings the graph instruments in
// line with it and hands the new graph set to the acquisition.
class GraphCommandHandler {
public:
    // All three must outlive the handler.
    GraphCommandHandler(MainController& controller, InstrumentGraphBoard& board,
                        RecordEditor& editor);

    // One command of a context menu or of Edit > Add Graph. `instrument` is the instrument the
    // menu was opened on (null for the Edit menu), `channel` the selected channel or -1.
    void run(int command, const Instrument* instrument, int channel);
    // Whether run() with these arguments would change something, every dialog confirmed.
    bool applies(int command, const Instrument* instrument, int channel) const;

private:
    GraphTarget targetOf(const Instrument* instrument, int channel) const;
    // Brings the change made on the copy `edited` into the configuration in force and its
    // instruments; every graph not concerned keeps its samples and axes.
    void commit(Config& config, const Config& edited, const GraphChange& change);

    MainController& controller_;
    InstrumentGraphBoard& board_;
    RecordEditor& editor_;
};
