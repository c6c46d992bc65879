#include "files/GraphSamples.h"

const Graph* GraphListSamples::at(int graph) const {
    if (graph < 0 || static_cast<std::size_t>(graph) >= graphs_.size())
        return nullptr;
    return graphs_[static_cast<std::size_t>(graph)];
}

GraphTiming GraphListSamples::timing(int graph) const {
    const Graph* g = at(graph);
    return g ? g->timing() : GraphTiming{};
}

int GraphListSamples::copySamples(int graph, int channel, int from, double* destination,
                                  int count) const {
    const Graph* g = at(graph);
    return g ? g->copySamples(channel, from, destination, count) : 0;
}
