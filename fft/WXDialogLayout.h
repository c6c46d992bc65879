#pragma once

#include <wx/dialog.h>
#include <wx/sizer.h>

#include <string>

class wxWindow;

// The common shape of the record dialogs: a two-column grid of labels and controls above a
// centred row with "Ok"/"OK" and "Cancel", every item with a 5 px border.
class WXDialogLayout {
public:
    explicit WXDialogLayout(wxDialog& dialog);

    // Adds a label and its control as one grid row; the control expands and gets the tooltip.
    void addRow(const wxString& label, wxWindow* control, const wxString& tooltip);
    // Adds the button row below the grid, sizes the dialog to fit and centres it on its parent.
    void finish(const wxString& okLabel);

private:
    wxDialog& dialog_;
    wxBoxSizer* outer_;
    wxFlexGridSizer* grid_;
};

// The dialogs show the icon of the window they belong to.
void useParentIcon(wxDialog& dialog, wxWindow* parent);
