// The main window: construction, menus, tool bar, body layout, and the user-interface side of
// the controller.

#include "app/MainFrame.h"

#include "app/Ids.h"
#include "app/ImageFiles.h"
#include "config/UserPaths.h"
#include "control/InstrumentGraphBoard.h"
#include "device/DeviceDialog.h"
#include "graph/WXConvert.h"
#include "graph/WXInstrumentPanel.h"
#include "graph/wxLogoPanel.h"
#include "signal/Inputs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>

MainFrame::MainFrame()
    : wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE, "frame"),
      autoZoomTimer_(this, ID_AUTO_ZOOM_TIMER), dataTimer_(this, ID_DATA_TIMER) {
    buildMenus();
    buildToolBar();
    CreateStatusBar(1, wxSTB_SIZEGRIP | wxFULL_REPAINT_ON_RESIZE, 0, "status_line");
    showStatus("Ready");
    SetIcon(programIcon());
    graphs_ = std::make_unique<InstrumentGraphBoard>();
    MainUI& ui = *this;
    controller_ = std::make_unique<MainController>(ui, *graphs_, userConfigFile());
    graphCommands_ = std::make_unique<GraphCommandHandler>(*controller_, *graphs_, recordEditor_);
    bindEvents();
}

MainFrame::~MainFrame() {
    autoZoomTimer_.Stop();
    dataTimer_.Stop();
    // The controller ends the worker threads and closes the box before the graphs go.
    controller_.reset();
}

void MainFrame::buildMenus() {
    wxMenu* file = new wxMenu;
    file->Append(ID_LOAD_CONFIGURATION, "&Load Configuration...", "Load configuration");
    file->Append(ID_SAVE_CONFIGURATION, "&Save Configuration...", "Save configuration");
    file->Append(ID_LOAD_DATA, "&Load Data...", "Load data");
    file->Append(ID_SAVE_DATA, "&Save Data...", "Save data");
    file->AppendSeparator();
    file->Append(ID_QUIT, "&Quit\tAlt-F4", "Quit the application");

    wxMenu* edit = new wxMenu;
    edit->Append(ID_ADD_GRAPH, "&Add Graph...", "Add a new graph for displaying data");

    wxMenu* options = new wxMenu;
    options->Append(ID_CONNECT, "&Connect", "Connect to ORVA box");
    options->Append(ID_SETTINGS, "&Settings...", "Settings for ORVA box");
    options->Append(ID_TRIGGER, "&Trigger...", "What Single waits for before its sweep");
    syncXItem_ =
        options->AppendCheckItem(ID_SYNC_X_AXIS, "Sync &X Axis", "Synchronize X axes of graphs");
    lockGraphsItem_ =
        options->AppendCheckItem(ID_LOCK_GRAPHS, "&Lock Graphs", "Prevent changes to the graphs");

    wxMenu* help = new wxMenu;
    help->Append(ID_ABOUT, "&About", "Show info about this application");

    wxMenuBar* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(edit, "&Edit");
    bar->Append(options, "&Options");
    bar->Append(help, "&Help");
    SetMenuBar(bar);
}

void MainFrame::buildToolBar() {
    wxToolBar* tools =
        CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT | wxNO_BORDER, ID_TOOLBAR, "toolbar");
    tools->SetToolBitmapSize(wxSize(20, 20));
    tools->AddCheckTool(ID_AUTO_ZOOM, "Auto Zoom", loadBitmap("AutoZoom.png"), wxNullBitmap,
                        "Auto Zoom", "Zoom to range of data");
    tools->AddTool(ID_VIEW_ALL, "View All", loadBitmap("Widen.png"), "View All", wxITEM_NORMAL);
    tools->SetToolLongHelp(ID_VIEW_ALL, "View all data");
    tools->AddSeparator();
    tools->AddRadioTool(ID_MOVE, "Move", loadBitmap("Move.png"), wxNullBitmap, "Move",
                        "Move with mouse");
    tools->AddRadioTool(ID_ZOOM_IN, "Zoom In", loadBitmap("MagnifyPlus.png"), wxNullBitmap,
                        "Zoom In", "Zoom in with mouse");
    tools->AddRadioTool(ID_ZOOM_OUT, "Zoom Out", loadBitmap("MagnifyMinus.png"), wxNullBitmap,
                        "Zoom Out", "Zoom out with mouse");
    tools->AddRadioTool(ID_CURSORS, "Cursors", loadBitmap("Cursors.png"), wxNullBitmap, "Cursors",
                        "Place and drag the cursors with the mouse");
    tools->Realize();
}

bool MainFrame::startUp() {
    panel_ = new WXInstrumentPanel(this, controller_->config());
    graphs_->attach(panel_->server());
    panel_->server().setMenuHandler([this](int id) {
        graphCommands_->run(id, panel_->server().captured(), panel_->server().selectedChannel());
    });
    panel_->server().setMenuFilter([this](int id) {
        return graphCommands_->applies(id, panel_->server().captured(),
                                       panel_->server().selectedChannel());
    });
    // Values reach the readout only while it exists; it is created once the configuration is
    // known.
    graphs_->setValueCallback([this](const std::string& caption, double value) {
        if (readout_)
            readout_->showValue(caption, value);
    });
    const bool usable = controller_->startUp();
    if (controller_->config().torvenLogo)
        readout_ = new wxLogoPanel(this, imageFile("L_O_G_O.png"));
    if (usable)
        buildBody();
    return usable;
}

void MainFrame::buildBody() {
    wxBoxSizer* frameSizer = new wxBoxSizer(wxVERTICAL);
    if (readout_) {
        readout_->SetMinSize(wxSize(600, readout_->wantedHeight()));
        frameSizer->Add(readout_, 0, wxEXPAND);
    }
    wxBoxSizer* body = new wxBoxSizer(wxHORIZONTAL);
    body->SetMinSize(600, 400);
    frameSizer->Add(body, 1, wxEXPAND);

    wxPanel* operation = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxTAB_TRAVERSAL | wxNO_BORDER, "panel");
    wxBoxSizer* operationSizer = new wxBoxSizer(wxVERTICAL);
    wxStaticBoxSizer* buttons = new wxStaticBoxSizer(wxVERTICAL, operation, "Operation");
    const std::pair<int, const char*> recordingButtons[] = {
        {ID_START, "Start"}, {ID_SINGLE, "Single"}, {ID_STOP, "Stop"}, {ID_LOG, "Log"}};
    for (const auto& [id, label] : recordingButtons)
        buttons->Add(new wxButton(buttons->GetStaticBox(), id, label, wxDefaultPosition,
                                  wxDefaultSize, 0, wxDefaultValidator, "button"),
                     0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    operationSizer->Add(buttons, 0, wxEXPAND);

    wxStaticBoxSizer* zero = new wxStaticBoxSizer(wxVERTICAL, operation, "Zero");
    const InputSettings& inputs = controller_->config().inputSettings;
    const int zeroInputs = static_cast<int>(inputs.sineInputs.size() + inputs.squareInputs.size() +
                                            inputs.ssiInputs.size());
    for (int k = 0; k < zeroInputs; ++k) {
        const std::string label =
            "Input " + std::to_string(k + 1) + "(" + inputKindName(inputs, k) + ")";
        wxCheckBox* box =
            new wxCheckBox(zero->GetStaticBox(), wxID_ANY, toWx(label), wxDefaultPosition,
                           wxDefaultSize, 0, wxDefaultValidator, "check");
        box->SetValue(k < 31 && ((controller_->config().zero >> k) & 1));
        zero->Add(box, 0, wxALL, 5);
        zeroCheckBoxes_.push_back(box);
    }
    zero->Add(new wxButton(zero->GetStaticBox(), ID_MANUAL_ZERO, "Manual Zero"), 0,
              wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    zero->Add(new wxButton(zero->GetStaticBox(), ID_REF_ZERO, "Ref Zero"), 0,
              wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    operationSizer->Add(zero, 0, wxEXPAND);
    operation->SetSizer(operationSizer);

    body->Add(operation, 0, wxEXPAND);
    body->Add(panel_, 1, wxEXPAND);
    SetSizerAndFit(frameSizer);
    // The sizer's minimum leaves little room for the graphs; start at a useful size.
    SetSize(wxSize(std::max(GetSize().x, 1024), std::max(GetSize().y, 720)));
}

int MainFrame::zeroMask() const {
    int mask = 0;
    for (std::size_t k = 0; k < zeroCheckBoxes_.size() && k < 31; ++k)
        if (zeroCheckBoxes_[k]->GetValue())
            mask |= 1 << k;
    return mask;
}

void MainFrame::showStatus(const std::string& text) {
    status_ = toWx(text);
    SetStatusText(status_, 0);
}

void MainFrame::DoGiveHelp(const wxString& text, bool show) {
    if (GetStatusBar())
        SetStatusText(show && !text.empty() ? text : status_, 0);
}

void MainFrame::showMessage(const std::string& text) {
    showMessage(text, "ORVA 2 USB");
}

void MainFrame::showMessage(const std::string& text, const std::string& caption) {
    wxMessageBox(toWx(text), toWx(caption), wxOK | wxCENTRE, this);
}

bool MainFrame::askYesNo(const std::string& text, const std::string& caption) {
    return wxMessageBox(toWx(text), toWx(caption), wxYES_NO | wxCENTRE, this) == wxYES;
}

int MainFrame::chooseDevice(const std::vector<std::string>& entries) {
    DeviceDialog dialog(this, entries, programIcon());
    return dialog.ShowModal() == wxID_OK ? dialog.chosenIndex() : -1;
}

void MainFrame::setTitle(const std::string& title) {
    SetTitle(toWx(title));
}

void MainFrame::showGraphOptions(bool syncXAxis, bool lockGraphs) {
    syncXItem_->Check(syncXAxis);
    lockGraphsItem_->Check(lockGraphs);
}

void MainFrame::startDataTimer() {
    dataTimer_.Start(100);
}

void MainFrame::stopDataTimer() {
    if (dataTimer_.IsRunning())
        dataTimer_.Stop();
}

void MainFrame::startValueTimer(unsigned milliseconds) {
    panel_->startValueTimer(static_cast<int>(milliseconds));
}

void MainFrame::stopValueTimer() {
    panel_->stopValueTimer();
}

void MainFrame::resumeAutoZoom() {
    if (!autoZoom_)
        return;
    autoZoomTimer_.Stop();
    autoZoomTimer_.Start(1000);
}

void MainFrame::stopAutoZoomTimer() {
    if (autoZoomTimer_.IsRunning())
        autoZoomTimer_.Stop();
}

// Runs on the hand-over thread: the data event is queued to this window, thread-safely.
void MainFrame::postDataArrival() {
    wxQueueEvent(this, new wxCommandEvent(wxEVT_TEXT, ID_DATA_ARRIVED));
}

// Run on the box watcher's thread; CallAfter queues thread-safely.
void MainFrame::postBoxArrival() {
    CallAfter([this] { controller_->boxArrived(); });
}

void MainFrame::postBoxLeft(const std::string& path) {
    CallAfter([this, path] { controller_->boxLeft(path); });
}

void MainFrame::offerSaveData() {
    wxCommandEvent saveData(wxEVT_MENU, ID_SAVE_DATA);
    ProcessWindowEvent(saveData);
}
