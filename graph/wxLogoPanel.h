#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

#include <string>

// The strip above the graphs with the logo and the latest position and speed in large digits.
// It keeps the two latest texts and draws them in its paint handler, so a repaint shows them
// again (drawing straight onto the screen outside a paint event is not kept by GTK 3).
class wxLogoPanel : public wxWindow {
public:
    // logoFile: the PNG logo drawn at the left.
    wxLogoPanel(wxWindow* parent, const wxString& logoFile);

    // A value text of a graph with its channel caption; "x" and "v" are shown.
    void showValue(const std::string& caption, double value);
    // Height in pixels the panel needs: three logo heights and a margin.
    int wantedHeight() const;

    const wxString& positionText() const { return position_; }
    const wxString& speedText() const { return speed_; }

private:
    void onPaint(wxPaintEvent& event);
    // The logo's height, and a stand-in height when the logo file cannot be read, so the
    // texts still land inside the panel.
    int logoHeight() const;

    wxBitmap logo_;
    wxString position_;
    wxString speed_;
};
