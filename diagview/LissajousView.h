#pragma once

#include "KLib/Ref.h"
#include "config/Config.h"
#include "diagview/DiagnosticInstrument.h"
#include "diagview/LissajousRaster.h"
#include "diagview/SinCosQuality.h"
#include "files/DiagnosticRecord.h"
#include "graph/Graph.h"
#include "graph/Painter.h"

#include <vector>

class InstrumentServer;
class Painter;

// The Lissajous view of a SinCos input of a time graph, drawn below it: Analog B against Analog
// A of every sample in the graph's data window on equal scales, with the nominal circle and its
// tolerance ring, the fitted ellipse and the reference pulses marked; beside it the figures of
// the ellipse fit and the interpolation error over one signal period.
class LissajousView : public DiagnosticInstrument {
public:
    // The server and both records must outlive the view; it keeps the graph alive.
    LissajousView(InstrumentServer& server, const InputSettings& inputs, GraphData& record,
                  const KLib::Ref<Graph>& source);

    // Takes the graph's samples again: the picture always, the figures when asked (they cost
    // more: 7.5 ms for a window of 500,000 pairs).
    void update(bool figures);
    const SinCosQuality& quality() const { return quality_; }
    // The figures for a data file.
    DiagnosticRecord diagnosticRecord() const;

    // Draws the plot square straight on the screen, between repaints: a repaint of the whole
    // view ten times a second would set its texts again each time.
    void drawLivePicture();

    // The raster follows the size of the plot square.
    void setViewport(double x1, double y1, double x2, double y2) override;
    void draw(Painter& painter) override;

private:
    // The plot square in panel pixels.
    struct Square {
        double left = 0.0;
        double top = 0.0;
        double side = 0.0;
        double x(double volts, double range) const {
            return left + side / 2.0 * (1.0 + volts / range);
        }
        double y(double volts, double range) const {
            return top + side / 2.0 * (1.0 - volts / range);
        }
    };
    struct Channels {
        int a = -1;
        int b = -1;
        int r = -1;
    };

    Channels channels() const;
    double nominal() const;   // V
    double tolerance() const; // share of the nominal radius, 0 ... 1
    // Half the span of either axis, V: the tolerance ring with a margin, or the fitted
    // ellipse when it reaches further.
    double range() const;
    Square square() const;
    // The pairs a, b (values; toVolts turns them into V) at which the reference pulse r rises;
    // none without r.
    void findReferencePulses(const double* r, const double* a, const double* b, int count,
                             double toVoltsA, double toVoltsB);

    void drawPlot(Painter& painter) const;
    void drawCircle(Painter& painter, double radius, double offsetA, double offsetB,
                    double amplitudeA, double amplitudeB, double phaseError) const;
    void drawFigures(Painter& painter) const;
    // The line of the nominal circle, the fitted ellipse and the pulse mark, from (left, top).
    void drawKey(Painter& painter, double left, double top) const;
    void drawErrorCurve(Painter& painter) const;

    const InputSettings& inputs_;
    GraphData& record_;
    LissajousRaster raster_;
    double rasterRange_ = 1.0;   // V, the range the raster was filled with
    int rasterWritten_ = 0;      // the source's write position when the raster was last marked
    std::vector<double> pulseA_; // V
    std::vector<double> pulseB_; // V
    SinCosQuality quality_;
    int colour_ = blackColour;
};
