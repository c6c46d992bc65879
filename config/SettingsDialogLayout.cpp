// The settings dialog's controls: the general group and one notebook page per input, with
// their labels and tooltips.

#include "config/SettingsDialog.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace {

const char* const filterTip = "Set the cutoff frequency of the low-pass filter.";

// Width of the texts, choices and spin controls beside a label, in pixels: room for the twelve
// decimals of a time and the spin buttons.
constexpr int fieldWidth = 180;

// A grid of labels and their controls.
wxFlexGridSizer* labelGrid() {
    return new wxFlexGridSizer(2, 5, 10);
}

void addRow(wxWindow* parent, wxFlexGridSizer* grid, const char* label, wxWindow* control,
            const char* tooltip) {
    grid->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    if (!dynamic_cast<wxCheckBox*>(control))
        control->SetMinSize(wxSize(fieldWidth, -1));
    grid->Add(control, 0, wxALIGN_CENTER_VERTICAL);
    if (tooltip)
        control->SetToolTip(tooltip);
}

wxPanel* newPage(wxNotebook* notebook) {
    return new wxPanel(notebook, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
                       "page");
}

// Puts the page's controls into the notebook under its title.
void finishPage(wxNotebook* notebook, wxPanel* page, wxSizer* content, const wxString& title) {
    wxBoxSizer* border = new wxBoxSizer(wxVERTICAL);
    border->Add(content, 0, wxEXPAND | wxALL, 10);
    page->SetSizer(border);
    notebook->AddPage(page, title);
}

// The controls are named so that tests and tools find them on their page.
wxTextCtrl* numberText(wxWindow* parent, const wxString& name) {
    return new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                          wxTextValidator(wxFILTER_NUMERIC), name);
}

wxChoice* choice(wxWindow* parent, const std::vector<std::string>& entries, const wxString& name) {
    wxArrayString texts;
    for (const std::string& entry : entries)
        texts.Add(wxString::FromUTF8(entry));
    return new wxChoice(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, texts, 0,
                        wxDefaultValidator, name);
}

wxSpinCtrl* bitsSpin(wxWindow* parent, const wxString& name) {
    return new wxSpinCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                          wxSP_ARROW_KEYS, 0, 32, 0, name);
}

} // namespace

void SettingsDialog::buildGeneral(wxSizer* columns) {
    wxStaticBoxSizer* general = new wxStaticBoxSizer(wxVERTICAL, this, "General");
    wxWindow* box = general->GetStaticBox();
    wxFlexGridSizer* grid = labelGrid();
    rate_ = choice(box, SettingsValues::rateChoices(), "rate");
    addRow(box, grid, "Sample Rate [Hz]", rate_, "Set the number of samples per second.");
    displayTime_ = numberText(box, "displayTime");
    addRow(box, grid, "Display Time [s]", displayTime_, "Set the time to display data on screen.");
    logTime_ = numberText(box, "logTime");
    addRow(box, grid, "Log Time [s]", logTime_, "Set the time to log data into a file.");
    lineWidth_ = choice(box, SettingsValues::lineWidthChoices(), "lineWidth");
    addRow(box, grid, "Graph Line Width", lineWidth_, "Set the width of line in display.");
    substitute_ = new wxSpinCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxSP_ARROW_KEYS, 0, 100, 0, "substitute");
    addRow(box, grid, "Value on package loss:", substitute_, nullptr);
    general->Add(grid, 0, wxEXPAND | wxALL, 5);
    columns->Add(general, 0, wxALL, 5);
    rate_->Bind(wxEVT_CHOICE,
                [this](wxCommandEvent& event) { followWordRules(event, false, false); });
}

void SettingsDialog::buildPages() {
    sinePages_.clear();
    squarePages_.clear();
    ssiPages_.clear();
    analogFilters_.clear();
    pagesLayout_ = values_.layout;
    // Pages are numbered on across the kinds, like the inputs.
    int number = 1;
    for (std::size_t i = 0; i < pagesLayout_.sine; ++i)
        addSinePage(wxString::Format("SinCos %d", number++));
    for (std::size_t i = 0; i < pagesLayout_.square; ++i)
        addSquarePage(wxString::Format("HTL/TTL %d", number++));
    for (std::size_t i = 0; i < pagesLayout_.ssi; ++i)
        addSsiPage(wxString::Format("SSI %d", number++));
    for (std::size_t i = 0; i < pagesLayout_.analog; ++i)
        addAnalogPage(wxString::Format("Analog %d", number++));
}

void SettingsDialog::addSinePage(const wxString& title) {
    wxPanel* page = newPage(notebook_);
    wxFlexGridSizer* grid = labelGrid();
    SinePageControls controls;
    controls.periods = numberText(page, "periods");
    addRow(page, grid, "Periods", controls.periods, "Set the number of periods per turn.");
    controls.threshold = numberText(page, "threshold");
    addRow(page, grid, "R Threshold [mV]", controls.threshold,
           "Set the threshold value of the zero pulse in milli Volt.");
    controls.filter = choice(page, pagesLayout_.filters, "filter");
    addRow(page, grid, "Filter Position/Velocity [Hz]", controls.filter, filterTip);
    controls.filterA = choice(page, pagesLayout_.filters, "filterA");
    addRow(page, grid, "Filter Channel A [Hz]", controls.filterA,
           "Set the cutoff frequency of the low-pass filter for signal A.");
    controls.filterB = choice(page, pagesLayout_.filters, "filterB");
    addRow(page, grid, "Filter Channel B [Hz]", controls.filterB,
           "Set the cutoff frequency of the low-pass filter for signal B.");
    finishPage(notebook_, page, grid, title);
    sinePages_.push_back(controls);
}

void SettingsDialog::addSquarePage(const wxString& title) {
    wxPanel* page = newPage(notebook_);
    wxFlexGridSizer* grid = labelGrid();
    SquarePageControls controls;
    controls.periods = numberText(page, "periods");
    addRow(page, grid, "Periods", controls.periods, "Set the number of periods per turn.");
    controls.filter = choice(page, pagesLayout_.filters, "filter");
    addRow(page, grid, "Filter Position/Velocity [Hz]", controls.filter, filterTip);
    finishPage(notebook_, page, grid, title);
    squarePages_.push_back(controls);
}

void SettingsDialog::addSsiPage(const wxString& title) {
    wxPanel* page = newPage(notebook_);
    wxBoxSizer* content = new wxBoxSizer(wxVERTICAL);
    // Two settings a row, which keeps the page with its word rows low.
    wxFlexGridSizer* grid = new wxFlexGridSizer(4, 5, 15);
    SsiPageControls controls;
    controls.frequency = numberText(page, "frequency");
    addRow(page, grid, "Frequency[kHz]", controls.frequency, "SSI clock frequency in kHz.");
    controls.monoflopTime = numberText(page, "monoflopTime");
    addRow(page, grid, "Monoflop time[us]", controls.monoflopTime,
           "SSI monoflop time in micro seconds.");
    controls.cableLength = numberText(page, "cableLength");
    addRow(page, grid, "Cable length[m]", controls.cableLength,
           "Adjust length of cables in meter to compensate signal runtime.");
    controls.gray = new wxCheckBox(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                   0, wxDefaultValidator, "gray");
    addRow(page, grid, "Gray", controls.gray, "Enables encoding of gray coded data.");
    controls.numWords = choice(page, SettingsValues::wordCountChoices(), "numWords");
    addRow(page, grid, "Number of words", controls.numWords,
           "Set the number of data words of whole SSI data block.");
    controls.numWords->Bind(
        wxEVT_CHOICE, [this](wxCommandEvent& event) { followWordRules(event, false, false); });
    content->Add(grid, 0, wxEXPAND);

    wxStaticBoxSizer* composition = new wxStaticBoxSizer(wxVERTICAL, page, "SSI Data Composition");
    wxFlexGridSizer* words = new wxFlexGridSizer(8, 4, 8);
    addWordRows(composition->GetStaticBox(), words, controls);
    composition->Add(words, 0, wxALL, 5);
    content->Add(composition, 0, wxEXPAND | wxTOP, 10);
    finishPage(notebook_, page, content, title);
    ssiPages_.push_back(controls);
}

void SettingsDialog::addWordRows(wxWindow* parent, wxFlexGridSizer* grid, SsiPageControls& page) {
    for (const char* header :
         {"Word", "bits total", "sign", "type", "bits single", "bits multi", "scale", "mzero"})
        grid->Add(new wxStaticText(parent, wxID_ANY, header), 0, wxALIGN_CENTER_HORIZONTAL);
    const auto neither = [this](wxCommandEvent& event) { followWordRules(event, false, false); };
    for (std::size_t r = 0; r < page.rows.size(); ++r) {
        const wxString number = wxString::Format("%d", static_cast<int>(r + 1));
        WordRowControls& row = page.rows[r];
        row.total = bitsSpin(parent, "bitsTotal" + number);
        row.total->SetToolTip("Set the number of bits of the word.");
        row.total->Bind(wxEVT_SPINCTRL, neither);
        row.sign = new wxCheckBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  0, wxDefaultValidator, "sign" + number);
        row.sign->SetToolTip("This flag indicates if data is signed or not.");
        row.sign->Bind(wxEVT_CHECKBOX, neither);
        row.type = choice(parent, SettingsValues::wordTypeChoices(), "type" + number);
        row.type->SetToolTip("Set kind of data.");
        row.type->Bind(wxEVT_CHOICE, neither);
        row.single = bitsSpin(parent, "bitsSingle" + number);
        row.single->SetToolTip("Set the number of single bits of a position.");
        row.single->Bind(wxEVT_SPINCTRL,
                         [this](wxCommandEvent& event) { followWordRules(event, true, false); });
        row.multi = bitsSpin(parent, "bitsMulti" + number);
        row.multi->SetToolTip("Set the number of multi turn bits of a position.");
        row.multi->Bind(wxEVT_SPINCTRL,
                        [this](wxCommandEvent& event) { followWordRules(event, false, true); });
        row.scale = numberText(parent, "scale" + number);
        // Wide enough for a scale of 1 with its twelve decimals and a sign.
        row.scale->SetMinSize(wxSize(row.scale->GetTextExtent("-1.000000000000").x + 24, -1));
        row.scale->SetToolTip("Scale factor for to justify data.");
        row.mzero = new wxCheckBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                   wxDefaultSize, 0, wxDefaultValidator, "mzero" + number);
        row.mzero->SetToolTip("Set this word to zero on manual zero");
        row.mzero->Bind(wxEVT_CHECKBOX, neither);

        grid->Add(new wxStaticText(parent, wxID_ANY, number), 0, wxALIGN_CENTER);
        grid->Add(row.total, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.sign, 0, wxALIGN_CENTER);
        grid->Add(row.type, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.single, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.multi, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.scale, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(row.mzero, 0, wxALIGN_CENTER);
    }
}

void SettingsDialog::addAnalogPage(const wxString& title) {
    wxPanel* page = newPage(notebook_);
    wxFlexGridSizer* grid = labelGrid();
    wxChoice* filter = choice(page, pagesLayout_.filters, "filter");
    addRow(page, grid, "Filter [Hz]", filter, filterTip);
    finishPage(notebook_, page, grid, title);
    analogFilters_.push_back(filter);
}
