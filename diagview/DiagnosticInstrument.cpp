#include "diagview/DiagnosticInstrument.h"

#include "graph/InstrumentServer.h"
#include "graph/Painter.h"
#include "graph/PlotZones.h"

void DiagnosticInstrument::repaint() {
    server_.refreshArea(pixel(x1_), pixel(y1_), pixel(x2_ - x1_), pixel(y2_ - y1_));
}

void DiagnosticInstrument::setViewport(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
}

HitResult DiagnosticInstrument::hitTest(double x, double y) const {
    const Zone whole{x1_, y1_, x2_, y2_};
    return whole.contains(x, y) ? whole.hit(viewportHit) : HitResult{};
}
