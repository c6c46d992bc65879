#include "graph/LissajousDialog.h"

#include "fft/WXDialogLayout.h"
#include "graph/WXConvert.h"

#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace {
enum { ID_NOMINAL = 10000, ID_TOLERANCE };

wxTextCtrl* textControl(wxWindow* parent, int id, wxString* value) {
    return new wxTextCtrl(parent, id, "", wxDefaultPosition, wxDefaultSize, 0,
                          wxTextValidator(wxFILTER_NONE, value));
}

// Why the typed settings cannot be used; empty when they can.
wxString problemWith(const std::string& nominal, const std::string& tolerance) {
    const auto radius = wholeNumber(nominal);    // V
    const auto percent = wholeNumber(tolerance); // % of the radius
    if (!radius || !(*radius > 0.0))
        return "Nominal radius [V] must be a number greater than 0.";
    if (!percent || !(*percent >= 0.0 && *percent < 100.0))
        return "Tolerance [%] must be a number of at least 0 and below 100.";
    return {};
}
} // namespace

LissajousDialog::LissajousDialog(wxWindow* parent, GraphData& graph)
    : wxDialog(parent, wxID_ANY, "Lissajous view", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "dialog"),
      graph_(graph), nominal_(toWx(graph.lissajousNominal)),
      tolerance_(toWx(graph.lissajousTolerance)) {
    useParentIcon(*this, parent);
    WXDialogLayout layout(*this);
    layout.addRow("Nominal radius [V]", textControl(this, ID_NOMINAL, &nominal_),
                  "Amplitude of each track of an ideal encoder: the radius of the nominal circle.");
    layout.addRow("Tolerance [%]", textControl(this, ID_TOLERANCE, &tolerance_),
                  "Half the width of the tolerance ring, in percent of the nominal radius.");
    layout.finish("OK");
}

bool LissajousDialog::TransferDataFromWindow() {
    if (!wxDialog::TransferDataFromWindow())
        return false;
    const std::string nominal = fromWx(nominal_);
    const std::string tolerance = fromWx(tolerance_);
    const wxString problem = problemWith(nominal, tolerance);
    if (!problem.empty()) {
        wxMessageBox(problem, GetTitle(), wxOK | wxICON_ERROR | wxCENTRE, this);
        return false;
    }
    graph_.lissajousNominal = nominal;
    graph_.lissajousTolerance = tolerance;
    return true;
}
