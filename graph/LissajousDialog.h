#pragma once

#include "config/Config.h"

#include <wx/dialog.h>

// "Lissajous view": the nominal circle and tolerance ring of one graph's Lissajous view. "OK"
// takes the fields only when both are usable numbers; "Cancel" leaves the record as it was.
class LissajousDialog : public wxDialog {
public:
    LissajousDialog(wxWindow* parent, GraphData& graph);

    // Refuses, with a message naming the field, a radius that is not above 0 V or a tolerance
    // outside 0...100 %; the dialog then stays open.
    bool TransferDataFromWindow() override;

private:
    GraphData& graph_;
    // The validators work on these.
    wxString nominal_;
    wxString tolerance_;
};
