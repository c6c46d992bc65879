#pragma once

#include "config/Config.h"

#include <wx/dialog.h>

// "FFT Settings": the spectrum fields of one graph record. "OK" stores the controls into the
// record; "Cancel" leaves it as it was.
class FFTDialog : public wxDialog {
public:
    FFTDialog(wxWindow* parent, GraphData& graph);

private:
    void onButton(wxCommandEvent& event);

    GraphData& graph_;
    // The validators work on these; the record changes only on "OK".
    bool logScale_;
    wxString window_;
    wxString numAverages_;
    wxString size_;
};
