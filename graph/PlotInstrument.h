#pragma once

#include "graph/Instrument.h"
#include "graph/PlotAxes.h"

// An instrument with one plot area navigated by the mouse: moving and zooming change its view
// transform, after which it hands its X axis to the others.
class PlotInstrument : public Instrument {
public:
    void move(double dx, double dy) override;
    void zoomIn(double x1, double y1, double x2, double y2) override;
    void zoomOut(double x1, double y1, double x2, double y2) override;
    void zoomAt(double x, double y, double fx, double fy) override;
    void pressCursor(double x) override;
    void dragCursor(double x) override;
    bool hasCursors() const override { return cursors().any(); }
    void clearCursors() override;

protected:
    // The cursors in the instrument's record.
    virtual CursorPair& cursors() const = 0;
    // Passes the cursors on after they changed.
    virtual void broadcastCursors() = 0;
    // The view transform and plot area in the instrument's record.
    virtual PlotAxes axes() const = 0;
    // Passes the X axis on after it changed.
    virtual void broadcastXAxis() = 0;

private:
    bool draggingFirst_ = true; // which cursor the last press grabbed
};
