#pragma once

#include "control/GraphEditing.h"

class wxWindow;

// The editing commands' dialogs, shown modally over the main window.
class WXRecordEditor : public RecordEditor {
public:
    explicit WXRecordEditor(wxWindow* parent) : parent_(parent) {}

    bool editGraph(GraphData& graph) override;
    bool editFFT(GraphData& graph) override;
    bool editChannel(const InputSettings& inputs, ChannelData& channel) override;
    bool editLissajous(GraphData& graph) override;

private:
    wxWindow* parent_;
};
