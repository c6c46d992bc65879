#pragma once

#include "config/Config.h"
#include "graph/PlotFrame.h"

#include <string>
#include <vector>

class Painter;

// A press this close to a cursor's line grabs that cursor rather than placing one, pixels.
constexpr double cursorGrabDistance = 6.0;

// Places or grabs a cursor for a press at the X value `value` (pixel `x` of the frame): the
// nearer cursor whose line is within the grab distance, else the first one not yet set, else
// the nearer one. The chosen cursor moves to the value; returns whether it is the first.
bool pressCursor(CursorPair& cursors, const PlotFrame& frame, double x);

// The value of a sample sequence at a fractional index, on the straight line between the two
// neighbouring samples; not a number outside 0 ... count - 1.
double interpolatedSample(const double* samples, int count, double index);

// One line of a cursor readout; a line of a channel has the channel's colour beside it.
struct ReadoutLine {
    std::string text;
    int colour = -1; // 0xRRGGBB, or -1 for none
};

// The lines of the positions: "t1 ...", "t2 ..." and, with both, their distance and its
// inverse. `name` is "t" or "f", `unit` that of the X axis ("s" or "Hz"), `inverseUnit` that
// of the distance's inverse, empty for none.
std::vector<ReadoutLine> cursorPositionLines(const CursorPair& cursors, const std::string& name,
                                             const std::string& unit,
                                             const std::string& inverseUnit);

// The line of one channel: its value at each set cursor and, with both, the difference, then
// the unit; "-" where a cursor lies outside the data.
ReadoutLine channelReadoutLine(const CursorPair& cursors, double first, double second,
                               const std::string& unit, int colour);

// The cursor lines across the plot area, and the readout box in its top-right corner, at least
// `boxWidth` pixels wide; boxWidth becomes the width drawn. Live drawing passes the width of the
// box it drew before, so that a box whose texts got shorter still covers the old one.
void drawCursors(Painter& painter, const PlotFrame& frame, const CursorPair& cursors,
                 const std::vector<ReadoutLine>& readout, double fontHeight, double& boxWidth);
