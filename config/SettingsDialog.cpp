// The settings dialog: showing, the transfers between SettingsValues and the controls, and the
// SSI word rules followed while the user edits.

#include "config/SettingsDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cmath>

namespace {

void showSpin(wxSpinCtrl* spin, int value, const ControlState& state) {
    spin->SetRange(state.min, state.max);
    spin->Enable(state.enabled);
    spin->SetValue(value);
}

void showText(wxTextCtrl* text, const std::string& value) {
    text->ChangeValue(wxString::FromUTF8(value));
}

std::string textOf(const wxTextCtrl* text) {
    return text->GetValue().ToStdString();
}

// The spin control shows the substitute value cut to an integer in its range.
int substituteSpinValue(const wxSpinCtrl* spin, float value) {
    if (std::isnan(value))
        return spin->GetMin();
    return static_cast<int>(
        std::clamp(value, static_cast<float>(spin->GetMin()), static_cast<float>(spin->GetMax())));
}

} // namespace

SettingsDialog::SettingsDialog(wxWindow* parent, SettingsValues& values, const wxString& title)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE,
               "settings"),
      values_(values) {
    // The texts with their validators sit on the notebook's pages.
    SetExtraStyle(GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
    wxBoxSizer* sizer = new wxBoxSizer(wxVERTICAL);
    // The general settings beside the pages rather than above them: the SSI page is tall, and
    // the dialog has to fit a screen of 768 pixels.
    wxBoxSizer* columns = new wxBoxSizer(wxHORIZONTAL);
    buildGeneral(columns);
    notebook_ = new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "notebook");
    columns->Add(notebook_, 1, wxEXPAND | wxTOP | wxRIGHT, 5);
    sizer->Add(columns, 1, wxEXPAND);
    buildPages();
    wxStdDialogButtonSizer* buttons = new wxStdDialogButtonSizer;
    buttons->AddButton(new wxButton(this, wxID_OK, "Ok"));
    buttons->AddButton(new wxButton(this, wxID_CANCEL, "Cancel"));
    buttons->Realize();
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 5);
    SetSizerAndFit(sizer);
}

int SettingsDialog::ShowModal() {
    if (pagesLayout_ != values_.layout) {
        guard_ = true;
        notebook_->DeleteAllPages();
        buildPages();
        GetSizer()->SetSizeHints(this);
    }
    // Also done by the toolkit when it shows the dialog; here it happens before any other look.
    TransferDataToWindow();
    return wxDialog::ShowModal();
}

bool SettingsDialog::TransferDataToWindow() {
    guard_ = true;
    values_.applyPendingWordRules();
    copyToControls();
    guard_ = false;
    return wxDialog::TransferDataToWindow();
}

bool SettingsDialog::TransferDataFromWindow() {
    if (!wxDialog::TransferDataFromWindow())
        return false;
    copyFromControls();
    return true;
}

void SettingsDialog::followWordRules(wxCommandEvent& event, bool singleChanged, bool multiChanged) {
    if (guard_) {
        event.Skip();
        return;
    }
    guard_ = true;
    copyFromControls();
    values_.updateWordRows(singleChanged, multiChanged);
    copyToControls();
    guard_ = false;
}

void SettingsDialog::copyToControls() {
    rate_->SetSelection(values_.rate);
    showText(displayTime_, values_.displayTime);
    showText(logTime_, values_.logTime);
    lineWidth_->SetSelection(values_.lineWidth);
    substitute_->SetValue(substituteSpinValue(substitute_, values_.substitute));
    for (std::size_t i = 0; i < sinePages_.size(); ++i) {
        const SinePage& page = values_.sine[i];
        showText(sinePages_[i].periods, page.periods);
        showText(sinePages_[i].threshold, page.threshold);
        sinePages_[i].filter->SetSelection(page.filter);
        sinePages_[i].filterA->SetSelection(page.filterA);
        sinePages_[i].filterB->SetSelection(page.filterB);
    }
    for (std::size_t i = 0; i < squarePages_.size(); ++i) {
        showText(squarePages_[i].periods, values_.square[i].periods);
        squarePages_[i].filter->SetSelection(values_.square[i].filter);
    }
    for (std::size_t i = 0; i < ssiPages_.size(); ++i) {
        const SsiPage& page = values_.ssi[i];
        SsiPageControls& controls = ssiPages_[i];
        showText(controls.frequency, page.frequency);
        showText(controls.monoflopTime, page.monoflopTime);
        showText(controls.cableLength, page.cableLength);
        controls.gray->SetValue(page.gray);
        controls.numWords->SetSelection(page.numWords);
        for (std::size_t r = 0; r < controls.rows.size(); ++r) {
            const SsiWordRow& row = page.rows[r];
            WordRowControls& rowControls = controls.rows[r];
            showSpin(rowControls.total, row.bitsTotal, row.totalControl);
            rowControls.sign->SetValue(row.sign);
            rowControls.sign->Enable(row.signControl.enabled);
            rowControls.type->SetSelection(row.type);
            rowControls.type->Enable(row.typeControl.enabled);
            showSpin(rowControls.single, row.bitsSingle, row.singleControl);
            showSpin(rowControls.multi, row.bitsMulti, row.multiControl);
            showText(rowControls.scale, row.scale);
            rowControls.scale->Enable(row.scaleControl.enabled);
            rowControls.mzero->SetValue(row.mzero);
            rowControls.mzero->Enable(row.mzeroControl.enabled);
        }
    }
    for (std::size_t i = 0; i < analogFilters_.size(); ++i)
        analogFilters_[i]->SetSelection(values_.analog[i].filter);
}

void SettingsDialog::copyFromControls() {
    values_.rate = rate_->GetSelection();
    values_.displayTime = textOf(displayTime_);
    values_.logTime = textOf(logTime_);
    values_.lineWidth = lineWidth_->GetSelection();
    values_.substitute = static_cast<float>(substitute_->GetValue());
    for (std::size_t i = 0; i < sinePages_.size(); ++i) {
        SinePage& page = values_.sine[i];
        page.periods = textOf(sinePages_[i].periods);
        page.threshold = textOf(sinePages_[i].threshold);
        page.filter = sinePages_[i].filter->GetSelection();
        page.filterA = sinePages_[i].filterA->GetSelection();
        page.filterB = sinePages_[i].filterB->GetSelection();
    }
    for (std::size_t i = 0; i < squarePages_.size(); ++i) {
        values_.square[i].periods = textOf(squarePages_[i].periods);
        values_.square[i].filter = squarePages_[i].filter->GetSelection();
    }
    for (std::size_t i = 0; i < ssiPages_.size(); ++i) {
        SsiPage& page = values_.ssi[i];
        const SsiPageControls& controls = ssiPages_[i];
        page.frequency = textOf(controls.frequency);
        page.monoflopTime = textOf(controls.monoflopTime);
        page.cableLength = textOf(controls.cableLength);
        page.gray = controls.gray->GetValue();
        page.numWords = controls.numWords->GetSelection();
        for (std::size_t r = 0; r < controls.rows.size(); ++r) {
            SsiWordRow& row = page.rows[r];
            const WordRowControls& rowControls = controls.rows[r];
            row.bitsTotal = rowControls.total->GetValue();
            row.sign = rowControls.sign->GetValue();
            row.type = rowControls.type->GetSelection();
            row.bitsSingle = rowControls.single->GetValue();
            row.bitsMulti = rowControls.multi->GetValue();
            row.scale = textOf(rowControls.scale);
            row.mzero = rowControls.mzero->GetValue();
        }
    }
    for (std::size_t i = 0; i < analogFilters_.size(); ++i)
        values_.analog[i].filter = analogFilters_[i]->GetSelection();
}
