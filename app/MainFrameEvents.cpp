// The main window's event handlers: each turns a widget event into a controller call.

#include "app/Ids.h"
#include "app/MainFrame.h"
#include "app/ORVABoxApp.h"
#include "app/SaveDialogPath.h"
#include "control/InstrumentGraphBoard.h"
#include "graph/WXConvert.h"
#include "graph/WXInstrumentPanel.h"

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/toolbar.h>

void MainFrame::bindEvents() {
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::onClose, this);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(false); }, ID_QUIT);
    Bind(wxEVT_MENU, &MainFrame::onAbout, this, ID_ABOUT);
    Bind(wxEVT_MENU, &MainFrame::onConnect, this, ID_CONNECT);
    Bind(wxEVT_MENU, &MainFrame::onSettings, this, ID_SETTINGS);
    Bind(wxEVT_MENU, &MainFrame::onTrigger, this, ID_TRIGGER);
    Bind(wxEVT_MENU, &MainFrame::onSyncXAxis, this, ID_SYNC_X_AXIS);
    Bind(wxEVT_MENU, &MainFrame::onLockGraphs, this, ID_LOCK_GRAPHS);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { graphCommands_->run(ID_ADD_GRAPH, nullptr, -1); },
        ID_ADD_GRAPH);
    Bind(wxEVT_MENU, &MainFrame::onLoadConfiguration, this, ID_LOAD_CONFIGURATION);
    Bind(wxEVT_MENU, &MainFrame::onSaveConfiguration, this, ID_SAVE_CONFIGURATION);
    Bind(wxEVT_MENU, &MainFrame::onLoadData, this, ID_LOAD_DATA);
    Bind(wxEVT_MENU, &MainFrame::onSaveData, this, ID_SAVE_DATA);
    Bind(wxEVT_TOOL, &MainFrame::onAutoZoom, this, ID_AUTO_ZOOM);
    Bind(wxEVT_TOOL, &MainFrame::onViewAll, this, ID_VIEW_ALL);
    Bind(
        wxEVT_TOOL, [this](wxCommandEvent&) { panel_->server().setMode(0); }, ID_MOVE);
    Bind(
        wxEVT_TOOL, [this](wxCommandEvent&) { panel_->server().setMode(1); }, ID_ZOOM_IN);
    Bind(
        wxEVT_TOOL, [this](wxCommandEvent&) { panel_->server().setMode(2); }, ID_ZOOM_OUT);
    Bind(
        wxEVT_TOOL, [this](wxCommandEvent&) { panel_->server().setMode(cursorMode); }, ID_CURSORS);
    Bind(wxEVT_TIMER, &MainFrame::onAutoZoomTick, this, ID_AUTO_ZOOM_TIMER);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { controller_->dataTick(); }, ID_DATA_TIMER);
    Bind(
        wxEVT_TEXT, [this](wxCommandEvent&) { controller_->handleDataArrival(); }, ID_DATA_ARRIVED);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->startRecording(Continuous); },
        ID_START);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->startRecording(Single); }, ID_SINGLE);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->stopRecording(); }, ID_STOP);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->startRecording(Log); }, ID_LOG);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->manualZero(zeroMask()); },
        ID_MANUAL_ZERO);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { controller_->referenceZero(zeroMask()); },
        ID_REF_ZERO);
    Bind(wxEVT_MOUSEWHEEL, &MainFrame::onMouseWheel, this);
}

void MainFrame::onClose(wxCloseEvent&) {
    controller_->close(zeroMask());
    Destroy();
}

void MainFrame::onAbout(wxCommandEvent&) {
    wxMessageBox("ORVA 2 USB V1.3.5\n\nFront-end of the ORVA 2 USB data-acquisition box for "
                 "rotary and linear encoders.\n\nBuilt with wxWidgets, Boost.Serialization, "
                 "kissfft and libusb.",
                 "ORVA 2 USB", wxOK | wxICON_INFORMATION | wxCENTRE, this);
}

void MainFrame::onConnect(wxCommandEvent&) {
    showBusy(true);
    const bool usable = controller_->connectBox();
    showBusy(false);
    if (!usable)
        wxGetApp().endForIncompatibleBox();
}

void MainFrame::onSyncXAxis(wxCommandEvent& event) {
    controller_->config().syncXAxis = event.IsChecked();
    panel_->server().setSyncXAxis(event.IsChecked());
    graphs_->refresh();
}

void MainFrame::onLockGraphs(wxCommandEvent& event) {
    controller_->config().lockGraphs = event.IsChecked();
}

void MainFrame::onAutoZoom(wxCommandEvent&) {
    if (!controller_->config().lockGraphs) {
        autoZoom_ = !autoZoom_;
        if (autoZoom_) {
            autoZoomTimer_.Stop();
            autoZoomTimer_.Start(1000);
        } else {
            stopAutoZoomTimer();
        }
    }
    GetToolBar()->ToggleTool(ID_AUTO_ZOOM, autoZoom_);
}

void MainFrame::onAutoZoomTick(wxTimerEvent&) {
    graphs_->autoScaleAll();
    graphs_->refresh();
}

void MainFrame::onViewAll(wxCommandEvent&) {
    if (controller_->config().lockGraphs)
        return;
    graphs_->fitAll();
    graphs_->refresh();
}

void MainFrame::onLoadConfiguration(wxCommandEvent&) {
    wxFileDialog dialog(this, "Load Configuration", "", "orva.cfg",
                        "ORVA configuration (*.cfg)|*.cfg", wxFD_OPEN, wxDefaultPosition,
                        wxDefaultSize, "filedlg");
    if (dialog.ShowModal() == wxID_OK)
        controller_->loadConfiguration(fromWx(dialog.GetPath()));
}

void MainFrame::onSaveConfiguration(wxCommandEvent&) {
    wxFileDialog dialog(this, "Save Configuration", "", "orva.cfg",
                        "ORVA configuration (*.cfg)|*.cfg", wxFD_SAVE | wxFD_OVERWRITE_PROMPT,
                        wxDefaultPosition, wxDefaultSize, "filedlg");
    const wxString path = chooseSavePath(dialog);
    if (!path.empty())
        controller_->saveConfigFile(fromWx(path));
}

void MainFrame::onLoadData(wxCommandEvent&) {
    wxFileDialog dialog(this, "Choose file", "", "", "MATLAB files (*.mat)|*.mat", wxFD_OPEN,
                        wxDefaultPosition, wxDefaultSize, "filedlg");
    if (dialog.ShowModal() == wxID_OK)
        controller_->loadDataFile(fromWx(dialog.GetPath()));
}

// The file type follows the extension of the chosen path; the selected filter only lends its
// extension to a name typed without one.
void MainFrame::onSaveData(wxCommandEvent&) {
    wxFileDialog dialog(
        this, "Choose file", "", "", "MATLAB files (*.mat)|*.mat|CSV files (*.csv)|*.csv",
        wxFD_SAVE | wxFD_OVERWRITE_PROMPT, wxDefaultPosition, wxDefaultSize, "filedlg");
    const wxString path = chooseSavePath(dialog);
    if (!path.empty())
        controller_->writeDataFile(fromWx(path));
}

// The types a log streams into; ".h5" first, as it suits long logs best.
std::string MainFrame::chooseLogFile() {
    wxFileDialog dialog(this, "Log into file", "", "",
                        "HDF5 files, MATLAB 7.3 (*.h5)|*.h5|CSV files (*.csv)|*.csv|"
                        "MATLAB files (*.mat)|*.mat",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT, wxDefaultPosition, wxDefaultSize,
                        "filedlg");
    return fromWx(chooseSavePath(dialog));
}

// Wheel events that reach the frame go to the graph panel, in the panel's coordinates.
void MainFrame::onMouseWheel(wxMouseEvent& event) {
    const wxPoint offset = panel_->GetPosition();
    event.SetX(event.GetX() - offset.x);
    event.SetY(event.GetY() - offset.y);
    panel_->handleMouse(event);
}
