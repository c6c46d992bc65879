#pragma once

#include <string>
#include <vector>

// One figure of a diagnostic view as it goes into a data file: a field name and its value in
// the unit the field name's documentation gives (NaN when the view has no value for it).
struct DiagnosticFigure {
    std::string name;
    double value = 0.0;
};

// The figures of one diagnostic view of a graph, as Save Data writes them beside the graphs.
struct DiagnosticRecord {
    std::string graph; // the caption of the graph the view belongs to
    std::string view;  // "lissajous" or "signal quality"
    std::vector<DiagnosticFigure> figures;
};
