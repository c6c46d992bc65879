#include "graph/ChannelDialog.h"

#include "fft/WXDialogLayout.h"
#include "graph/WXCodeValidators.h"
#include "graph/WXConvert.h"
#include "signal/AllowedChoices.h"
#include "signal/Inputs.h"
#include "signal/Units.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/valtext.h>

#include <algorithm>

namespace {
enum {
    ID_CAPTION = 30001,
    ID_INPUT,
    ID_CHANNEL,
    ID_OPERATION,
    ID_INPUT2,
    ID_CHANNEL2,
    ID_UNIT,
    ID_INVERT,
    ID_OFFSET,
    ID_COLOUR,
    ID_DISPLAY_VALUE,
};

wxArrayString itemsOf(const std::vector<std::string>& names) {
    wxArrayString items;
    for (const std::string& name : names)
        items.Add(toWx(name));
    return items;
}

wxChoice* choiceControl(wxWindow* parent, int id, const std::vector<std::string>& names,
                        const wxValidator& validator) {
    return new wxChoice(parent, id, wxDefaultPosition, wxDefaultSize, itemsOf(names), 0, validator);
}

// Replaces the items; the selection becomes `previous`, or the last item when there are fewer.
void refill(wxChoice& choice, const std::vector<std::string>& names, int previous) {
    choice.Set(itemsOf(names));
    choice.SetSelection(std::min(previous, static_cast<int>(names.size()) - 1));
}

std::vector<std::string> operationNames(const InputSettings& inputs, const ChannelData& channel) {
    std::vector<std::string> names;
    fillOperationChoice(inputs, channel.input, channel.channel, channel.op, names);
    return names;
}

std::vector<std::string> unitNames(const InputSettings& inputs, const ChannelData& channel) {
    std::vector<std::string> names;
    fillUnitChoice(inputs, channel.input, channel.channel, channel.op, channel.unit, names);
    return names;
}
} // namespace

ChannelDialog::ChannelDialog(wxWindow* parent, const InputSettings& inputs, ChannelData& channel)
    : wxDialog(parent, wxID_ANY, "Channel Settings", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "dialog"),
      inputs_(inputs), record_(channel), copy_(channel), caption_(toWx(channel.caption)),
      offset_(toWx(channel.offset)) {
    useParentIcon(*this, parent);
    const std::vector<std::string> inputList = inputNames(inputs);
    WXDialogLayout layout(*this);
    layout.addRow("Caption",
                  new wxTextCtrl(this, ID_CAPTION, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxTextValidator(wxFILTER_ASCII, &caption_)),
                  "Set the symbolic name of the channel.");
    layout.addRow("Input",
                  choiceControl(this, ID_INPUT, inputList, wxGenericValidator(&copy_.input)),
                  "Set the input to use.");
    channel_ = choiceControl(this, ID_CHANNEL, signalNames(inputs, copy_.input),
                             wxGenericValidator(&copy_.channel));
    layout.addRow("Channel", channel_, "Set the channel to use.");
    operation_ =
        choiceControl(this, ID_OPERATION, operationNames(inputs, copy_), wxOpValidator(&copy_.op));
    layout.addRow("Operation", operation_, "Set the operation to use.");
    input2_ = choiceControl(this, ID_INPUT2, inputList, wxGenericValidator(&copy_.input2));
    layout.addRow("Input2", input2_, "Set the second input to use.");
    channel2_ = choiceControl(this, ID_CHANNEL2, signalNames(inputs, copy_.input2),
                              wxGenericValidator(&copy_.channel2));
    layout.addRow("Channel2", channel2_, "Set the second channel to use.");
    unit_ = choiceControl(this, ID_UNIT, unitNames(inputs, copy_), wxUnitValidator(&copy_.unit));
    layout.addRow("Unit", unit_, "Set the unit to display the data.");
    layout.addRow("Invert",
                  new wxCheckBox(this, ID_INVERT, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxGenericValidator(&copy_.invert)),
                  "Flag to invert the data.");
    layout.addRow("Offset",
                  new wxTextCtrl(this, ID_OFFSET, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxTextValidator(wxFILTER_NUMERIC, &offset_)),
                  "Set the offset value.");
    colour_ = new wxButton(this, ID_COLOUR, "");
    colour_->SetBackgroundColour(colourOf(copy_.color));
    layout.addRow("Color", colour_, "Set the color of line.");
    layout.addRow("Display Value",
                  new wxCheckBox(this, ID_DISPLAY_VALUE, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxGenericValidator(&copy_.displayTextValue)),
                  "Flag to display the current value.");
    layout.finish("Ok");
    enableSecondSource();

    Bind(wxEVT_CHOICE, &ChannelDialog::onInput, this, ID_INPUT);
    Bind(wxEVT_CHOICE, &ChannelDialog::onChannel, this, ID_CHANNEL);
    Bind(wxEVT_CHOICE, &ChannelDialog::onOperation, this, ID_OPERATION);
    Bind(wxEVT_CHOICE, &ChannelDialog::onInput2, this, ID_INPUT2);
    Bind(wxEVT_BUTTON, &ChannelDialog::onColour, this, ID_COLOUR);
    Bind(wxEVT_BUTTON, &ChannelDialog::onOk, this, wxID_OK);
}

void ChannelDialog::onInput(wxCommandEvent&) {
    channelsOfInput();
}
void ChannelDialog::onChannel(wxCommandEvent&) {
    operationsOfChannel();
}
void ChannelDialog::onOperation(wxCommandEvent&) {
    unitsOfOperation();
}
void ChannelDialog::onInput2(wxCommandEvent&) {
    channelsOfInput2();
}

void ChannelDialog::channelsOfInput() {
    TransferDataFromWindow();
    refill(*channel_, signalNames(inputs_, copy_.input), copy_.channel);
    operationsOfChannel();
}

void ChannelDialog::operationsOfChannel() {
    TransferDataFromWindow();
    refill(*operation_, operationNames(inputs_, copy_), 0);
    unitsOfOperation();
}

void ChannelDialog::unitsOfOperation() {
    TransferDataFromWindow();
    enableSecondSource();
    refill(*unit_, unitNames(inputs_, copy_), 0);
}

void ChannelDialog::channelsOfInput2() {
    TransferDataFromWindow();
    refill(*channel2_, signalNames(inputs_, copy_.input2), copy_.channel2);
}

void ChannelDialog::enableSecondSource() {
    // Only add and subtract take a second source; other codes leave the controls as they are.
    bool enable;
    if (copy_.op == OperationAdd || copy_.op == OperationSubtract)
        enable = true;
    else if (copy_.op == OperationNone || copy_.op == OperationDifferentiate)
        enable = false;
    else
        return;
    input2_->Enable(enable);
    channel2_->Enable(enable);
}

void ChannelDialog::onColour(wxCommandEvent&) {
    // The dialog opens at the channel's colour, so that Ok without a pick keeps it.
    wxColourData start;
    start.SetColour(colourOf(copy_.color));
    wxColourDialog dialog(this, &start);
    if (dialog.ShowModal() != wxID_OK)
        return;
    copy_.color = rgbOf(dialog.GetColourData().GetColour());
    colour_->SetBackgroundColour(colourOf(copy_.color));
}

void ChannelDialog::onOk(wxCommandEvent&) {
    TransferDataFromWindow();
    record_ = copy_;
    record_.caption = fromWx(caption_);
    record_.offset = fromWx(offset_);
    EndModal(wxID_OK);
}
