#include "graph/WXPainter.h"

#include "graph/WXConvert.h"

#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/settings.h>

namespace {

// Holds the client device context for the painter built on it.
struct ClientDCHolder {
    explicit ClientDCHolder(wxWindow& window) : clientDC(&window) {}
    wxClientDC clientDC;
};

class WXScreenPainter : private ClientDCHolder, public WXPainter {
public:
    WXScreenPainter(wxWindow& window, const wxFont& font)
        : ClientDCHolder(window), WXPainter(clientDC, font) {}
};

} // namespace

WXPainter::WXPainter(wxDC& dc, const wxFont& font) : dc_(dc), font_(font) {
    // Every line runs between whole pixels. Unsmoothed, cairo strokes the traces several
    // times faster; text keeps its own smoothing.
    if (wxGraphicsContext* context = dc_.GetGraphicsContext())
        context->SetAntialiasMode(wxANTIALIAS_NONE);
}

WXPainter::~WXPainter() {
    flushPath();
}

std::size_t WXPainter::polylineEnd(std::size_t polyline) const {
    return polyline + 1 < polylineStarts_.size() ? polylineStarts_[polyline + 1] : path_.size();
}

void WXPainter::flushPath() {
    if (path_.empty())
        return;
    wxGraphicsContext* context = dc_.GetGraphicsContext();
    if (context) {
        wxGraphicsPath path = context->CreatePath();
        for (std::size_t p = 0; p < polylineStarts_.size(); ++p) {
            path.MoveToPoint(path_[polylineStarts_[p]].x, path_[polylineStarts_[p]].y);
            for (std::size_t i = polylineStarts_[p] + 1; i < polylineEnd(p); ++i)
                path.AddLineToPoint(path_[i].x, path_[i].y);
        }
        context->StrokePath(path);
    } else {
        for (std::size_t p = 0; p < polylineStarts_.size(); ++p)
            dc_.DrawLines(static_cast<int>(polylineEnd(p) - polylineStarts_[p]),
                          &path_[polylineStarts_[p]]);
    }
    path_.clear();
    polylineStarts_.clear();
}

std::unique_ptr<Painter> WXPainter::onScreen(wxWindow& window, const wxFont& font) {
    return std::make_unique<WXScreenPainter>(window, font);
}

void WXPainter::setPen(const Pen& pen) {
    flushPath();
    dc_.SetPen(pen.visible ? wxPen(colourOf(pen.colour), pen.width, wxPENSTYLE_SOLID)
                           : *wxTRANSPARENT_PEN);
}

void WXPainter::setBrush(const Brush& brush) {
    flushPath();
    dc_.SetBrush(brush.visible ? wxBrush(colourOf(brush.colour), wxBRUSHSTYLE_SOLID)
                               : *wxTRANSPARENT_BRUSH);
}

void WXPainter::useTextFont() {
    flushPath();
    dc_.SetFont(font_);
    dc_.SetTextForeground(*wxBLACK);
}

void WXPainter::drawLine(int x1, int y1, int x2, int y2) {
    if (path_.empty() || path_.back() != wxPoint(x1, y1)) {
        polylineStarts_.push_back(path_.size());
        path_.emplace_back(x1, y1);
    }
    path_.emplace_back(x2, y2);
}

void WXPainter::drawRectangle(int x, int y, int width, int height) {
    flushPath();
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    dc_.DrawRectangle(x, y, width, height);
}

void WXPainter::drawText(const std::string& text, int x, int y) {
    flushPath();
    dc_.DrawText(toWx(text), x, y);
}

TextSize WXPainter::textExtent(const std::string& text) {
    const wxSize size = dc_.GetTextExtent(toWx(text));
    return TextSize{size.GetWidth(), size.GetHeight()};
}

void WXPainter::setClip(int x, int y, int width, int height) {
    flushPath();
    dc_.DestroyClippingRegion();
    dc_.SetClippingRegion(x, y, width, height);
    clipped_ = true;
    clipX_ = x;
    clipY_ = y;
    clipWidth_ = width;
    clipHeight_ = height;
}

void WXPainter::resetClip() {
    flushPath();
    dc_.DestroyClippingRegion();
    clipped_ = false;
}

void WXPainter::clear() {
    flushPath();
    // A filled rectangle rather than wxDC::Clear, which not every port confines to the clip.
    const wxPen pen = dc_.GetPen();
    const wxBrush brush = dc_.GetBrush();
    dc_.SetPen(*wxTRANSPARENT_PEN);
    dc_.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    if (clipped_) {
        dc_.DrawRectangle(clipX_, clipY_, clipWidth_, clipHeight_);
    } else {
        const wxSize size = dc_.GetSize();
        dc_.DrawRectangle(0, 0, size.GetWidth(), size.GetHeight());
    }
    dc_.SetPen(pen);
    dc_.SetBrush(brush);
}
