#include "graph/WXInstrumentServer.h"

#include "graph/WXPainter.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>

namespace {

wxFont textFont() {
    return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS));
}

// Pixel height of a line of text in the font, measured on the window.
double lineHeight(wxWindow* window, const wxFont& font) {
    wxClientDC dc(window);
    dc.SetFont(font);
    return dc.GetTextExtent("Aq").GetHeight();
}

} // namespace

WXInstrumentServer::WXInstrumentServer(wxWindow* window) : WXInstrumentServer(window, textFont()) {}

WXInstrumentServer::WXInstrumentServer(wxWindow* window, const wxFont& font)
    : InstrumentServer(lineHeight(window, font)), window_(window), font_(font),
      // Screen-sized, so that it rarely has to grow.
      bitmap_(std::max(1, wxSystemSettings::GetMetric(wxSYS_SCREEN_X)),
              std::max(1, wxSystemSettings::GetMetric(wxSYS_SCREEN_Y))) {}

void WXInstrumentServer::paint() {
    const wxSize client = window_->GetClientSize();
    // The bitmap only ever grows.
    if (bitmap_.GetWidth() < client.GetWidth() || bitmap_.GetHeight() < client.GetHeight())
        bitmap_ = wxBitmap(std::max(bitmap_.GetWidth(), client.GetWidth()),
                           std::max(bitmap_.GetHeight(), client.GetHeight()));
    wxBufferedPaintDC dc(window_, bitmap_);
    WXPainter painter(dc, font_);
    paintInstruments(painter, client.GetWidth(), client.GetHeight());
}

void WXInstrumentServer::refresh() {
    window_->Refresh(true);
}

std::unique_ptr<Painter> WXInstrumentServer::screenPainter() {
    return WXPainter::onScreen(*window_, font_);
}

// The graph and channel editing menus are not offered yet: a press on a legend row or the frame
// leaves the graphs as they are.
void WXInstrumentServer::showGraphMenu(Instrument&, double, double) {}

void WXInstrumentServer::showChannelMenu(Instrument&, int, bool, double, double) {}
