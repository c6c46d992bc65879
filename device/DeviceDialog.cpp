#include "device/DeviceDialog.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/icon.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

DeviceDialog::DeviceDialog(wxWindow* parent, const std::vector<std::string>& entries,
                           const wxIcon& icon)
    : wxDialog(parent, wxID_ANY, "ORVA 2 USB", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX, "dialog") {
    if (icon.IsOk())
        SetIcon(icon);

    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, "Select device", wxDefaultPosition, wxDefaultSize,
                                0, "staticText"),
               0, wxALL, 5);
    // Read-only: only a listed box can be chosen.
    comboBox_ = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                               nullptr, wxCB_READONLY, wxDefaultValidator, "comboBox");
    // The product and serial strings come from the box as Latin-1 bytes.
    for (const std::string& entry : entries)
        comboBox_->Append(wxString(entry.c_str(), wxConvISO8859_1, entry.size()));
    if (!entries.empty())
        comboBox_->SetSelection(0);
    sizer->Add(comboBox_, 0, wxALL | wxEXPAND, 5);

    wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, wxID_OK, "Ok", wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, "button"),
                 0, wxALL, 5);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, "button"),
                 0, wxALL, 5);
    sizer->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL);
    SetSizerAndFit(sizer);
}

int DeviceDialog::chosenIndex() const {
    const int selection = comboBox_->GetSelection();
    return selection == wxNOT_FOUND ? 0 : selection;
}
