#pragma once

#include "graph/Painter.h"

#include <wx/gdicmn.h>

#include <memory>
#include <vector>

class wxDC;
class wxFont;
class wxWindow;

// The graph engine's painter on a wxWidgets device context.
class WXPainter : public Painter {
public:
    // Neither the device context nor the font is owned; both must outlive the painter.
    WXPainter(wxDC& dc, const wxFont& font);
    ~WXPainter() override;
    WXPainter(const WXPainter&) = delete;
    WXPainter& operator=(const WXPainter&) = delete;

    // A painter on the window's screen area, through a client device context it owns.
    static std::unique_ptr<Painter> onScreen(wxWindow& window, const wxFont& font);

    void setPen(const Pen& pen) override;
    void setBrush(const Brush& brush) override;
    void useTextFont() override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRectangle(int x, int y, int width, int height) override;
    void drawText(const std::string& text, int x, int y) override;
    TextSize textExtent(const std::string& text) override;
    void setClip(int x, int y, int width, int height) override;
    void resetClip() override;
    void clear() override;

private:
    // Draws the polylines collected since the last change of pen or clip.
    void flushPath();
    std::size_t polylineEnd(std::size_t polyline) const; // one past its last point in path_

    wxDC& dc_;
    // Segments are collected into polylines (a segment that starts where the previous one
    // ended extends it) and all of them are stroked at once: every stroke costs the toolkit's
    // vector back end far more than the segments it holds.
    std::vector<wxPoint> path_;
    std::vector<std::size_t> polylineStarts_; // index in path_ where each polyline begins
    const wxFont& font_;
    bool clipped_ = false;
    int clipX_ = 0;
    int clipY_ = 0;
    int clipWidth_ = 0;
    int clipHeight_ = 0;
};
