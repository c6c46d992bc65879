#include "graph/GraphDialog.h"

#include "fft/WXDialogLayout.h"
#include "graph/WXConvert.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/valtext.h>

namespace {
enum { ID_CAPTION = 10000, ID_MIN_VALUE, ID_MAX_VALUE, ID_STOP_ON_OUT_OF_RANGE };

wxTextCtrl* textControl(wxWindow* parent, int id, long filter, wxString* value) {
    return new wxTextCtrl(parent, id, "", wxDefaultPosition, wxDefaultSize, 0,
                          wxTextValidator(filter, value));
}
} // namespace

GraphDialog::GraphDialog(wxWindow* parent, GraphData& graph)
    : wxDialog(parent, wxID_ANY, "Graph Settings", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "dialog"),
      graph_(graph), caption_(toWx(graph.caption)), maxValue_(toWx(graph.maxValue)),
      minValue_(toWx(graph.minValue)), stopOnOutOfRange_(graph.stopOnOutOfRange) {
    useParentIcon(*this, parent);
    WXDialogLayout layout(*this);
    layout.addRow("Caption", textControl(this, ID_CAPTION, wxFILTER_ASCII, &caption_),
                  "Set the symbolic name of the graph.");
    layout.addRow("MaxValue", textControl(this, ID_MAX_VALUE, wxFILTER_NUMERIC, &maxValue_),
                  "Set the upper bound of the range.");
    layout.addRow("MinValue", textControl(this, ID_MIN_VALUE, wxFILTER_NUMERIC, &minValue_),
                  "Set the lower bound of the range.");
    layout.addRow("Stop on out of range",
                  new wxCheckBox(this, ID_STOP_ON_OUT_OF_RANGE, "", wxDefaultPosition,
                                 wxDefaultSize, 0, wxGenericValidator(&stopOnOutOfRange_)),
                  "Set this flag to stop if data is out of range.");
    layout.finish("Ok");
}

bool GraphDialog::TransferDataFromWindow() {
    if (!wxDialog::TransferDataFromWindow())
        return false;
    graph_.caption = fromWx(caption_);
    graph_.maxValue = fromWx(maxValue_);
    graph_.minValue = fromWx(minValue_);
    graph_.stopOnOutOfRange = stopOnOutOfRange_;
    return true;
}
