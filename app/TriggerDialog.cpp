#include "app/TriggerDialog.h"

#include "control/TriggerSetup.h"
#include "fft/WXDialogLayout.h"
#include "graph/WXConvert.h"
#include "graph/WindowMemory.h"
#include "signal/Inputs.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

// The entry of `wanted` among `entries`, or 0.
template <class T> int entryOf(const std::vector<T>& entries, const T& wanted) {
    const auto at = std::find(entries.begin(), entries.end(), wanted);
    return at == entries.end() ? 0 : static_cast<int>(at - entries.begin());
}

} // namespace

TriggerDialog::TriggerDialog(wxWindow* parent, Config& config)
    : wxDialog(parent, wxID_ANY, "Trigger", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "dialog"),
      config_(config) {
    useParentIcon(*this, parent);
    const TriggerSettings& t = config.trigger;
    WXDialogLayout layout(*this);

    enabled_ = new wxCheckBox(this, enabledField, "");
    enabled_->SetValue(t.enabled);
    layout.addRow("Single waits for a trigger", enabled_,
                  "Single starts its sweep at the event instead of at once.");

    source_ = new wxChoice(this, sourceField);
    source_->Append("Channel crossing a level");
    source_->Append("Reference pulse R");
    source_->SetSelection(t.source == TriggerSettings::ReferencePulse ? 1 : 0);
    layout.addRow("Source", source_, "What makes the event.");

    channel_ = new wxChoice(this, channelField);
    int g = 0;
    for (const GraphData& graph : config.graphList) {
        for (std::size_t c = 0; c < graph.channelList.size(); ++c) {
            channel_->Append(toWx(graph.caption + ": " + graph.channelList[c].caption));
            channels_.emplace_back(g, static_cast<int>(c));
        }
        ++g;
    }
    channel_->SetSelection(
        channels_.empty() ? wxNOT_FOUND : entryOf(channels_, std::make_pair(t.graph, t.channel)));
    layout.addRow("Channel", channel_, "The graph's channel that crosses the level.");

    level_ = new wxTextCtrl(this, levelField, toWx(t.level));
    layout.addRow("Level", level_, "In the channel's unit.");

    slope_ = new wxChoice(this, slopeField);
    slope_->Append("Rising");
    slope_->Append("Falling");
    slope_->Append("Either");
    slope_->SetSelection(std::max(0, std::min(t.slope, 2)));
    layout.addRow("Slope", slope_, "The direction in which the channel crosses the level.");

    input_ = new wxChoice(this, inputField);
    const std::vector<std::string> names = inputNames(config.inputSettings);
    for (int input = 0; input < static_cast<int>(names.size()); ++input) {
        const std::string kind = inputKindName(config.inputSettings, input);
        if (kind == "SinCos" || kind == "HTL/TTL") {
            input_->Append(toWx(names[static_cast<std::size_t>(input)]));
            inputs_.push_back(input);
        }
    }
    input_->SetSelection(inputs_.empty() ? wxNOT_FOUND : entryOf(inputs_, t.input));
    layout.addRow("Input", input_,
                  "The input whose reference pulse R is the event; a graph must show its R.");

    preTrigger_ = new wxTextCtrl(this, preTriggerField, toWx(t.preTrigger));
    layout.addRow("Pre-trigger [%]", preTrigger_, "The share of the sweep before the event.");
    timeout_ = new wxTextCtrl(this, timeoutField, toWx(t.timeout));
    layout.addRow("Time-out [s]", timeout_,
                  "After this long without an event the status bar says it is still waiting.");
    layout.finish("OK");
    enableSourceFields();
    source_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { enableSourceFields(); });
}

void TriggerDialog::enableSourceFields() {
    const bool pulse = source_->GetSelection() == 1;
    channel_->Enable(!pulse);
    level_->Enable(!pulse);
    slope_->Enable(!pulse);
    input_->Enable(pulse);
}

TriggerSettings TriggerDialog::typed() const {
    TriggerSettings t = config_.trigger;
    t.enabled = enabled_->GetValue();
    t.source = source_->GetSelection() == 1 ? TriggerSettings::ReferencePulse
                                            : TriggerSettings::ChannelLevel;
    const int channel = channel_->GetSelection();
    if (channel >= 0 && channel < static_cast<int>(channels_.size())) {
        t.graph = channels_[static_cast<std::size_t>(channel)].first;
        t.channel = channels_[static_cast<std::size_t>(channel)].second;
    }
    const int input = input_->GetSelection();
    if (input >= 0 && input < static_cast<int>(inputs_.size()))
        t.input = inputs_[static_cast<std::size_t>(input)];
    t.level = fromWx(level_->GetValue());
    t.slope = std::max(0, slope_->GetSelection());
    t.preTrigger = fromWx(preTrigger_->GetValue());
    t.timeout = fromWx(timeout_->GetValue());
    return t;
}

bool TriggerDialog::TransferDataFromWindow() {
    Config checked = config_;
    checked.trigger = typed();
    const auto timeout = wholeNumber(checked.trigger.timeout);
    std::string problem;
    if (!timeout || !(*timeout > 0.0))
        problem = "Time-out [s] must be a number greater than 0.";
    else if (checked.trigger.enabled)
        problem = setUpTrigger(checked, windowCapacity(checked.inputSettings)).problem;
    if (!problem.empty()) {
        wxMessageBox(toWx(problem), GetTitle(), wxOK | wxICON_ERROR | wxCENTRE, this);
        return false;
    }
    config_.trigger = checked.trigger;
    return true;
}
