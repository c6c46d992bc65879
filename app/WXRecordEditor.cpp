#include "app/WXRecordEditor.h"

#include "fft/FFTDialog.h"
#include "graph/ChannelDialog.h"
#include "graph/GraphDialog.h"
#include "graph/LissajousDialog.h"

bool WXRecordEditor::editGraph(GraphData& graph) {
    GraphDialog dialog(parent_, graph);
    return dialog.ShowModal() == wxID_OK;
}

bool WXRecordEditor::editFFT(GraphData& graph) {
    FFTDialog dialog(parent_, graph);
    return dialog.ShowModal() == wxID_OK;
}

bool WXRecordEditor::editChannel(const InputSettings& inputs, ChannelData& channel) {
    ChannelDialog dialog(parent_, inputs, channel);
    return dialog.ShowModal() == wxID_OK;
}

bool WXRecordEditor::editLissajous(GraphData& graph) {
    LissajousDialog dialog(parent_, graph);
    return dialog.ShowModal() == wxID_OK;
}
