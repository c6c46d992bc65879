#pragma once

#include <string>

// Colours are 0xRRGGBB, as in the configuration's channel colours.
constexpr int whiteColour = 0xFFFFFF;
constexpr int blackColour = 0x000000;
constexpr int gridColour = 0xC8C8C8; // grid lines
// The hover highlight and the zoom rubber band: the dark grey the grid pen drawn inverting
// shows on white, which stands out from the grid it crosses.
constexpr int highlightColour = 0xFFFFFF ^ gridColour;

struct Pen {
    int colour = blackColour;
    int width = 1; // pixels
    bool visible = true;

    static Pen none() { return Pen{blackColour, 1, false}; }
};

struct Brush {
    int colour = whiteColour;
    bool visible = true;

    static Brush none() { return Brush{whiteColour, false}; }
};

struct TextSize {
    int width = 0;  // pixels
    int height = 0; // pixels
};

// Nearest whole pixel of a panel coordinate. Values far outside any screen are limited, so that
// an extreme zoom never turns into an out-of-range integer.
int pixel(double coordinate);

// What the graph engine draws on: a screen, an off-screen bitmap or a recording in a test.
// Coordinates are panel pixels; a line includes its first point and excludes its last.
class Painter {
public:
    virtual ~Painter() = default;

    virtual void setPen(const Pen& pen) = 0;
    virtual void setBrush(const Brush& brush) = 0;
    // The panel's text font (8 points, sans-serif) in black.
    virtual void useTextFont() = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    // Outlined with the pen, filled with the brush; a negative size extends left or up.
    virtual void drawRectangle(int x, int y, int width, int height) = 0;
    // (x, y) is the top-left corner of the text. Texts are 8-bit Latin-1.
    virtual void drawText(const std::string& text, int x, int y) = 0;
    virtual TextSize textExtent(const std::string& text) = 0;
    // Drawing is confined to the rectangle until resetClip().
    virtual void setClip(int x, int y, int width, int height) = 0;
    virtual void resetClip() = 0;
    // Fills the clip rectangle, or everything without one, with the panel's button-face colour.
    virtual void clear() = 0;

    // The same in fractional panel pixels, rounded to whole pixels; rectangles by two corners.
    void line(double x1, double y1, double x2, double y2);
    void rectangle(double x1, double y1, double x2, double y2);
    void text(const std::string& text, double x, double y);
    void clip(double x1, double y1, double x2, double y2);
};
