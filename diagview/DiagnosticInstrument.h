#pragma once

#include "KLib/Ref.h"
#include "graph/Graph.h"
#include "graph/Instrument.h"

class InstrumentServer;

// What the diagnostic views below a time graph share: the graph they measure, their rectangle,
// a hit zone that opens the graph menu anywhere on them, and no navigation of their own (their
// scales follow the data and their settings).
class DiagnosticInstrument : public Instrument {
public:
    Graph* source() const { return source_.get(); }
    // Has the view's rectangle painted again from it, soon.
    void repaint();

    void setViewport(double x1, double y1, double x2, double y2) override;
    HitResult hitTest(double x, double y) const override;
    void move(double, double) override {}
    void zoomIn(double, double, double, double) override {}
    void zoomOut(double, double, double, double) override {}
    void zoomAt(double, double, double, double) override {}
    void fitX() override {}
    bool autoScaleY() override { return false; }
    void setXAxis(bool, double, double) override {}
    void updateValueTexts() override {}
    void setValueCallback(ValueCallback) override {}

protected:
    // The server must outlive the view; the view keeps the graph alive.
    DiagnosticInstrument(InstrumentServer& server, const KLib::Ref<Graph>& source)
        : server_(server), source_(source) {}

    InstrumentServer& server_;
    KLib::Ref<Graph> source_;
    double x1_ = 0.0; // viewport, panel pixels
    double y1_ = 0.0;
    double x2_ = 0.0;
    double y2_ = 0.0;
};
