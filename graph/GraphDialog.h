#pragma once

#include "config/Config.h"

#include <wx/dialog.h>

// "Graph Settings": caption, range limits and the stop flag of one graph record. Only "Ok"
// changes the record.
class GraphDialog : public wxDialog {
public:
    GraphDialog(wxWindow* parent, GraphData& graph);

    bool TransferDataFromWindow() override;

private:
    GraphData& graph_;
    // The validators work on these.
    wxString caption_;
    wxString maxValue_;
    wxString minValue_;
    bool stopOnOutOfRange_;
};
