#pragma once

#include "config/Config.h"

#include <wx/dialog.h>

class wxButton;
class wxChoice;

// "Channel Settings": source, operation, unit, offset, colour and value text of one channel.
// The controls edit a working copy; the record receives it only on "Ok".
class ChannelDialog : public wxDialog {
public:
    ChannelDialog(wxWindow* parent, const InputSettings& inputs, ChannelData& channel);

private:
    void onInput(wxCommandEvent& event);
    void onChannel(wxCommandEvent& event);
    void onOperation(wxCommandEvent& event);
    void onInput2(wxCommandEvent& event);
    void onColour(wxCommandEvent& event);
    void onOk(wxCommandEvent& event);

    // The cascade of the choices: each step reads the controls into the working copy first.
    void channelsOfInput();
    void operationsOfChannel();
    void unitsOfOperation();
    void channelsOfInput2();
    void enableSecondSource();

    const InputSettings& inputs_;
    ChannelData& record_;
    ChannelData copy_;
    // The text validators work on these.
    wxString caption_;
    wxString offset_;

    wxChoice* channel_;
    wxChoice* operation_;
    wxChoice* input2_;
    wxChoice* channel2_;
    wxChoice* unit_;
    wxButton* colour_;
};
