#pragma once

#include "control/SettingsValues.h"

#include <wx/dialog.h>

#include <array>
#include <vector>

class wxCheckBox;
class wxChoice;
class wxFlexGridSizer;
class wxNotebook;
class wxSpinCtrl;
class wxTextCtrl;

// The sampling and display settings and the settings of every input of the box, one notebook
// page per input. The dialog binds its controls to SettingsValues, which holds the values and
// the rules of the SSI word rows; only the main window writes them into the configuration.
class SettingsDialog : public wxDialog {
public:
    SettingsDialog(wxWindow* parent, SettingsValues& values, const wxString& title);

    // Shows the dialog modally, on pages made anew first when the values are for other inputs
    // than the pages.
    int ShowModal() override;
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    wxNotebook* notebook() const { return notebook_; }

private:
    struct WordRowControls {
        wxSpinCtrl* total = nullptr;
        wxCheckBox* sign = nullptr;
        wxChoice* type = nullptr;
        wxSpinCtrl* single = nullptr;
        wxSpinCtrl* multi = nullptr;
        wxTextCtrl* scale = nullptr;
        wxCheckBox* mzero = nullptr;
    };
    struct SinePageControls {
        wxTextCtrl* periods = nullptr;
        wxTextCtrl* threshold = nullptr;
        wxChoice* filter = nullptr;
        wxChoice* filterA = nullptr;
        wxChoice* filterB = nullptr;
    };
    struct SquarePageControls {
        wxTextCtrl* periods = nullptr;
        wxChoice* filter = nullptr;
    };
    struct SsiPageControls {
        wxTextCtrl* frequency = nullptr;
        wxTextCtrl* monoflopTime = nullptr;
        wxTextCtrl* cableLength = nullptr;
        wxCheckBox* gray = nullptr;
        wxChoice* numWords = nullptr;
        std::array<WordRowControls, SSIInput::wordCount> rows;
    };

    void buildGeneral(wxSizer* columns);
    void buildPages();
    void addSinePage(const wxString& title);
    void addSquarePage(const wxString& title);
    void addSsiPage(const wxString& title);
    void addAnalogPage(const wxString& title);
    void addWordRows(wxWindow* parent, wxFlexGridSizer* grid, SsiPageControls& page);

    // A change that the SSI word rules follow, with the bits the user changed.
    void followWordRules(wxCommandEvent& event, bool singleChanged, bool multiChanged);

    void copyToControls();
    void copyFromControls();

    SettingsValues& values_;
    SettingsLayout pagesLayout_; // the inputs the pages were made for
    // Set while the dialog itself changes control values; their change events pass unhandled.
    bool guard_ = true;

    wxChoice* rate_ = nullptr;
    wxTextCtrl* displayTime_ = nullptr;
    wxTextCtrl* logTime_ = nullptr;
    wxChoice* lineWidth_ = nullptr;
    wxSpinCtrl* substitute_ = nullptr;
    wxNotebook* notebook_ = nullptr;
    std::vector<SinePageControls> sinePages_;
    std::vector<SquarePageControls> squarePages_;
    std::vector<SsiPageControls> ssiPages_;
    std::vector<wxChoice*> analogFilters_;
};
