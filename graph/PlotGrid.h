#pragma once

#include "graph/PlotFrame.h"

class Painter;

// The grid of a plot area with its tick labels, shared by the time graph and the FFT view.
// Vertical lines at most 60 pixels apart, labelled below the plot on every second one.
void drawXGrid(Painter& painter, const PlotFrame& frame, bool labels);
// Horizontal lines at most 2.5 text heights apart (fontHeight in pixels), every one labelled
// left of the plot.
void drawYGrid(Painter& painter, const PlotFrame& frame, double fontHeight, bool labels);
