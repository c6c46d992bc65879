#pragma once

#include "config/Config.h"

#include <wx/dialog.h>

#include <utility>
#include <vector>

class wxCheckBox;
class wxChoice;
class wxTextCtrl;

// "Trigger": what "Single" waits for before its sweep. "OK" takes the fields only when the
// trigger they describe can be used with the configuration's graphs (or is switched off);
// "Cancel" leaves the configuration as it was.
class TriggerDialog : public wxDialog {
public:
    // The fields' window ids, for whoever drives the dialog without a mouse.
    enum FieldId {
        enabledField = 10200,
        sourceField,
        channelField,
        levelField,
        slopeField,
        inputField,
        preTriggerField,
        timeoutField,
    };

    TriggerDialog(wxWindow* parent, Config& config);

    bool TransferDataFromWindow() override;

private:
    TriggerSettings typed() const;
    // Only the fields of the chosen source can be edited.
    void enableSourceFields();

    Config& config_;
    std::vector<std::pair<int, int>> channels_; // graph and channel of each channel entry
    std::vector<int> inputs_;                   // input of each pulse entry
    wxCheckBox* enabled_;
    wxChoice* source_;
    wxChoice* channel_;
    wxTextCtrl* level_;
    wxChoice* slope_;
    wxChoice* input_;
    wxTextCtrl* preTrigger_;
    wxTextCtrl* timeout_;
};
