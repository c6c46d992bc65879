#include "graph/PlotInstrument.h"

#include "graph/PlotCursors.h"

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

void PlotInstrument::pressCursor(double x) {
    const PlotAxes a = axes();
    draggingFirst_ = ::pressCursor(cursors(), PlotFrame{a.scale, a.offset, a.p1, a.p2}, x);
    broadcastCursors();
}

void PlotInstrument::dragCursor(double x) {
    const PlotAxes a = axes();
    (draggingFirst_ ? cursors().first : cursors().second) = (x - a.offset.x) / a.scale.x;
    broadcastCursors();
}

void PlotInstrument::clearCursors() {
    cursors() = CursorPair{};
    broadcastCursors();
}
