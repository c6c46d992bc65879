#include "graph/wxLogoPanel.h"

#include "graph/ReadoutTexts.h"

#include <wx/dcclient.h>
#include <wx/log.h>
#include <wx/settings.h>

#include <algorithm>

namespace {
// Pixels used in place of the logo's height when the logo cannot be loaded.
constexpr int missingLogoHeight = 40;
} // namespace

wxLogoPanel::wxLogoPanel(wxWindow* parent, const wxString& logoFile)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE,
               "panel") {
    {
        // A missing logo leaves its room empty; it is not worth an error box.
        const wxLogNull quiet;
        logo_.LoadFile(logoFile, wxBITMAP_TYPE_PNG);
    }
    Bind(wxEVT_PAINT, &wxLogoPanel::onPaint, this);
}

int wxLogoPanel::logoHeight() const {
    return logo_.IsOk() ? logo_.GetHeight() : missingLogoHeight;
}

int wxLogoPanel::wantedHeight() const {
    return 3 * logoHeight() + 7;
}

void wxLogoPanel::showValue(const std::string& caption, double value) {
    switch (readoutFieldFor(caption)) {
    case ReadoutField::Position:
        position_ = positionReadout(value);
        break;
    case ReadoutField::Speed:
        speed_ = speedReadout(value);
        break;
    case ReadoutField::None:
        return;
    }
    Refresh(false);
}

void wxLogoPanel::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const int h = logoHeight();
    const int w = logo_.IsOk() ? logo_.GetWidth() : 0;
    dc.SetPen(*wxWHITE_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(0, 0, GetClientSize().x, 3 * h);
    if (logo_.IsOk())
        dc.DrawBitmap(logo_, h, h, false);

    // The two readouts take about 1250 pixels right of the logo at 40 points; a narrower
    // window shrinks them so that the speed stays visible.
    const int x0 = w + h + 50;
    const int y = h - 25;
    const double fit = (GetClientSize().x - x0 - 10) / 1250.0;
    const double scale = std::clamp(fit, 0.25, 1.0);
    const auto at = [&](int offset) { return x0 + static_cast<int>(offset * scale * 1250 / 1080); };
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(std::max(8, static_cast<int>(40 * scale)));
    dc.SetFont(font);
    // A value ends at its right edge, but never starts inside its own label.
    const auto readout = [&](const wxString& label, const wxString& value, int left, int right) {
        dc.DrawText(label, left, y);
        const int labelEnd = left + dc.GetTextExtent(label + " ").x;
        dc.DrawText(value, std::max(right - dc.GetTextExtent(value).x, labelEnd), y);
    };
    if (!position_.empty()) {
        dc.SetTextForeground(*wxRED);
        readout("Position:", position_, x0, at(500));
    }
    if (!speed_.empty()) {
        dc.SetTextForeground(*wxBLUE);
        readout("Speed:", speed_, at(550), at(1080));
    }
}
