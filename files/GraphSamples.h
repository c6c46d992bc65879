#pragma once

#include "files/DiagnosticRecord.h"
#include "graph/Graph.h"

#include <cstdint>
#include <utility>
#include <vector>

// The recorded samples of the graphs, indexed like the configuration's graph list.
class GraphSamples {
public:
    virtual ~GraphSamples() = default;
    // Sample period (s) and samples held; a graph index without a graph holds none.
    virtual GraphTiming timing(int graph) const = 0;
    // Copies up to count samples of the channel from index from on; returns how many.
    virtual int copySamples(int graph, int channel, int from, double* destination,
                            int count) const = 0;
    // The figures of the diagnostic views, in graph order; none by default.
    virtual std::vector<DiagnosticRecord> diagnosticRecords() const { return {}; }
    // Where the event of a triggered sweep stands among the samples, from 0; -1 without one.
    virtual std::int64_t triggerIndex() const { return -1; }
};

// The live graphs of the main window.
class GraphListSamples : public GraphSamples {
public:
    explicit GraphListSamples(std::vector<const Graph*> graphs) : graphs_(std::move(graphs)) {}
    GraphTiming timing(int graph) const override;
    int copySamples(int graph, int channel, int from, double* destination,
                    int count) const override;

private:
    const Graph* at(int graph) const;

    std::vector<const Graph*> graphs_;
};
