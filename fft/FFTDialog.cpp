#include "fft/FFTDialog.h"

#include "fft/WXDialogLayout.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/valtext.h>

namespace {
enum { ID_LOG_SCALE = 10000, ID_WINDOW, ID_NUM_AVERAGES, ID_SIZE };

// The names the spectrum computation compares, in the order offered.
const wxString windowNames[] = {"None",     "Hanning",         "Hamming",
                                "Triangle", "Blackman-Harris", "Flat Top"};

wxString fromRecord(const std::string& text) {
    return wxString::FromUTF8(text);
}
std::string toRecord(const wxString& text) {
    return text.ToStdString();
}
} // namespace

FFTDialog::FFTDialog(wxWindow* parent, GraphData& graph)
    : wxDialog(parent, wxID_ANY, "FFT Settings", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "dialog"),
      graph_(graph), logScale_(graph.fftLogScale), window_(fromRecord(graph.fftWindow)),
      numAverages_(fromRecord(graph.fftNumAverages)), size_(fromRecord(graph.fftSize)) {
    useParentIcon(*this, parent);
    WXDialogLayout layout(*this);
    layout.addRow("FFT dB Scale",
                  new wxCheckBox(this, ID_LOG_SCALE, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxGenericValidator(&logScale_)),
                  "Logarithmic dB Y axis scale");
    layout.addRow("FFT Window",
                  new wxChoice(this, ID_WINDOW, wxDefaultPosition, wxDefaultSize,
                               WXSIZEOF(windowNames), windowNames, 0, wxGenericValidator(&window_)),
                  "Select the FFT window type");
    layout.addRow("FFT Number of Averages",
                  new wxTextCtrl(this, ID_NUM_AVERAGES, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxTextValidator(wxFILTER_NUMERIC, &numAverages_)),
                  "The set amount of display averaging for FFT graphs");
    layout.addRow("FFT Size",
                  new wxTextCtrl(this, ID_SIZE, "", wxDefaultPosition, wxDefaultSize, 0,
                                 wxTextValidator(wxFILTER_NUMERIC, &size_)),
                  "Sets the (maximum) FFT size");
    layout.finish("OK");
    Bind(wxEVT_BUTTON, &FFTDialog::onButton, this, wxID_OK);
    Bind(wxEVT_BUTTON, &FFTDialog::onButton, this, wxID_CANCEL);
}

void FFTDialog::onButton(wxCommandEvent& event) {
    if (event.GetId() == wxID_OK) {
        TransferDataFromWindow();
        graph_.fftLogScale = logScale_;
        graph_.fftWindow = toRecord(window_);
        graph_.fftNumAverages = toRecord(numAverages_);
        graph_.fftSize = toRecord(size_);
    }
    EndModal(event.GetId());
}
