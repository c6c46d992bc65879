#pragma once

#include <wx/dialog.h>
#include <wx/icon.h>

#include <string>
#include <vector>

class wxComboBox;

// The choice between several boxes: one entry "product,serial" per box, in the order of the
// device paths, item 0 selected. Ok ends the dialog with wxID_OK (5100), Cancel with
// wxID_CANCEL (5101).
class DeviceDialog : public wxDialog {
public:
    DeviceDialog(wxWindow* parent, const std::vector<std::string>& entries, const wxIcon& icon);

    // Index into the entries of the box chosen; 0 when none is selected.
    int chosenIndex() const;
    wxComboBox* comboBox() const { return comboBox_; }

private:
    wxComboBox* comboBox_ = nullptr;
};
