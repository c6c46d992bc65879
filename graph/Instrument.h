#pragma once

#include "KLib/Object.h"
#include "config/Config.h"

#include <functional>
#include <string>

class Painter;

// Zones a hit test reports; a legend row of channel i reports legendRowHit + i.
enum HitCode {
    noHit = 0,
    viewportHit = 1,  // inside the instrument but in no other zone
    plotHit = 2,      // the plot area
    xAxisHit = 3,     // the band of X labels
    yAxisHit = 4,     // the band of Y labels
    clickHereHit = 5, // the "click here" row of a graph without channels
    legendRowHit = 6,
};

// Legend rows of channels 0 to 100 are reported to the panel; later rows count as no zone.
constexpr int lastLegendRowHit = legendRowHit + 100;

struct HitResult {
    int code = noHit;
    // The zone in panel pixels, highlighted while the mouse hovers over it.
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

// Something drawn in its own rectangle of the graph panel.
class Instrument : public KLib::Object {
public:
    using ValueCallback = std::function<void(const std::string& caption, double value)>;

    // The instrument's rectangle in panel pixels.
    virtual void setViewport(double x1, double y1, double x2, double y2) = 0;
    virtual void draw(Painter& painter) = 0;
    virtual HitResult hitTest(double x, double y) const = 0;
    // Pans the plot content by a pixel delta.
    virtual void move(double dx, double dy) = 0;
    // The pixel rectangle becomes the whole plot area.
    virtual void zoomIn(double x1, double y1, double x2, double y2) = 0;
    // The whole plot area shrinks into the pixel rectangle.
    virtual void zoomOut(double x1, double y1, double x2, double y2) = 0;
    // Scales the plot area about a pixel point; a factor above 1 shows more.
    virtual void zoomAt(double x, double y, double fx, double fy) = 0;
    // The X axis shows the whole data window.
    virtual void fitX() = 0;
    // Fits the Y axis to the data; true when its scale or offset changed.
    virtual bool autoScaleY() = 0;
    // An X axis broadcast by an instrument of the given kind.
    virtual void setXAxis(bool isFFT, double scaleX, double offsetX) = 0;
    virtual void updateValueTexts() = 0;
    // Takes over what a worker thread finished for the instrument (and repaints it), on the
    // interface thread; see InstrumentServer::collectLater.
    virtual void takeFinishedWork() {}
    // Receives every value shown in a value text.
    virtual void setValueCallback(ValueCallback callback) = 0;

    // Cursors, for instruments that have them: a press in the plot area at pixel column x
    // places or grabs one (pressCursor), dragging moves it (dragCursor).
    virtual void pressCursor(double x) { (void)x; }
    virtual void dragCursor(double x) { (void)x; }
    virtual bool hasCursors() const { return false; }
    virtual void clearCursors() {}
    // Cursors handed on by an instrument of the given kind while the X axes are synchronised.
    virtual void setCursors(bool isFFT, const CursorPair& cursors) {
        (void)isFFT;
        (void)cursors;
    }
};
