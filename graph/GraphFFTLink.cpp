#include "graph/FFTGraph.h"
#include "graph/Graph.h"

void Graph::analyseVisibleRange() {
    if (!fftView_)
        return;
    fftView_->setupRange();
    fftView_->computeSpectra();
}
