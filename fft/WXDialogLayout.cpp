#include "fft/WXDialogLayout.h"

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

namespace {
constexpr int border = 5; // px around every item
}

WXDialogLayout::WXDialogLayout(wxDialog& dialog)
    : dialog_(dialog), outer_(new wxBoxSizer(wxVERTICAL)), grid_(new wxFlexGridSizer(2)) {
    grid_->AddGrowableCol(1, 1);
    outer_->Add(grid_, 1, wxEXPAND | wxALL, border);
}

void WXDialogLayout::addRow(const wxString& label, wxWindow* control, const wxString& tooltip) {
    grid_->Add(new wxStaticText(&dialog_, wxID_ANY, label), 1, wxALIGN_CENTER_VERTICAL | wxALL,
               border);
    control->SetToolTip(tooltip);
    grid_->Add(control, 1, wxEXPAND | wxALL, border);
}

void WXDialogLayout::finish(const wxString& okLabel) {
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(&dialog_, wxID_OK, okLabel);
    ok->SetDefault();
    buttons->Add(ok, 0, wxALL, border);
    buttons->Add(new wxButton(&dialog_, wxID_CANCEL, "Cancel"), 0, wxALL, border);
    outer_->Add(buttons, 0, wxALIGN_CENTER | wxALL, border);
    dialog_.SetSizerAndFit(outer_);
    dialog_.Centre(wxBOTH);
}

void useParentIcon(wxDialog& dialog, wxWindow* parent) {
    const auto* frame =
        wxDynamicCast(parent ? wxGetTopLevelParent(parent) : nullptr, wxTopLevelWindow);
    if (frame && frame->GetIcon().IsOk())
        dialog.SetIcon(frame->GetIcon());
}
