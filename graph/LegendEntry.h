#pragma once

#include <string>

class Painter;

// The legend column at the left of a graph's viewport, in pixels from the viewport's left edge:
// the rows answer to the mouse over this span and their texts end inside it, clear of the Y
// labels that share the room left of the plot.
constexpr double legendColumnLeft = 3.0;
constexpr double legendColumnRight = 93.0;
// The first row starts this far inside the viewport's top-left corner, pixels.
constexpr double legendInset = 5.0;

// Pixels from one legend row to the next, for text `fontHeight` pixels high.
constexpr double legendRowHeight(double fontHeight) {
    return fontHeight + 2.0;
}

// One legend row whose top is `top`: a square of the colour (0xRRGGBB) at x and the text beside
// it, ended with "..." where it would reach past `right`. Pixels; fontHeight is the text's.
void drawLegendEntry(Painter& painter, double x, double top, double fontHeight, int colour,
                     const std::string& text, double right);

// The text itself when it is at most `width` pixels wide, else its longest beginning followed by
// "..." that is; empty when not even "..." fits.
std::string fittedText(Painter& painter, const std::string& text, double width);
