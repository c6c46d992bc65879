#include "graph/PlotInstrument.h"

void PlotInstrument::move(double dx, double dy) {
    axes().move(dx, dy);
    broadcastXAxis();
}

void PlotInstrument::zoomIn(double x1, double y1, double x2, double y2) {
    if (axes().zoomIn(x1, y1, x2, y2))
        broadcastXAxis();
}

void PlotInstrument::zoomOut(double x1, double y1, double x2, double y2) {
    if (axes().zoomOut(x1, y1, x2, y2))
        broadcastXAxis();
}

void PlotInstrument::zoomAt(double x, double y, double fx, double fy) {
    if (axes().zoomAt(x, y, fx, fy))
        broadcastXAxis();
}
