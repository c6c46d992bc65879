#pragma once

#include "app/WXProgressDisplay.h"
#include "app/WXRecordEditor.h"
#include "control/GraphCommandHandler.h"
#include "control/MainController.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>
#include <vector>

class wxCheckBox;
class wxMenuItem;
class WXInstrumentPanel;
class wxLogoPanel;
class InstrumentGraphBoard;
class SettingsDialog;

// The main window: menus, tool bar, operation panel, graph panel and status bar. It turns
// widget events into calls of the controller and the controller's requests into widgets; the
// decisions live in the controller.
class MainFrame : public wxFrame, private MainUI {
public:
    MainFrame();
    ~MainFrame() override;

    // Loads the configuration, builds the graphs, connects to the box and lays out the window.
    // False when the box is incompatible: the program must end with exit status 1.
    bool startUp();

    MainController& controller() { return *controller_; }
    // A menu item's or tool's help text covers the status only while the item is highlighted;
    // then the newest status the program showed comes back.
    void DoGiveHelp(const wxString& text, bool show) override;
    // Mask of the ticked zero selectors, bit k for selector k.
    int zeroMask() const;
    const std::vector<wxCheckBox*>& zeroCheckBoxes() const { return zeroCheckBoxes_; }
    wxLogoPanel* readout() const { return readout_; }
    WXInstrumentPanel* panel() const { return panel_; }
    // Runs the editing commands of the context menus and of Edit > Add Graph.
    GraphCommandHandler& graphCommands() { return *graphCommands_; }

private:
    void buildMenus();
    void buildToolBar();
    void buildBody();
    void bindEvents();

    // MainUI
    void showStatus(const std::string& text) override;
    void showMessage(const std::string& text) override;
    void showMessage(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    int chooseDevice(const std::vector<std::string>& entries) override;
    void setTitle(const std::string& title) override;
    void showGraphOptions(bool syncXAxis, bool lockGraphs) override;
    void showBusy(bool busy) override;
    void startDataTimer() override;
    void stopDataTimer() override;
    void startValueTimer(unsigned milliseconds) override;
    void stopValueTimer() override;
    void resumeAutoZoom() override;
    void stopAutoZoomTimer() override;
    void postDataArrival() override;
    void postBoxArrival() override;
    void postBoxLeft(const std::string& path) override;
    void offerSaveData() override;
    std::string chooseLogFile() override;
    void showProgress(const std::string& title, double fraction) override {
        progress_.show(title, fraction);
    }
    void endProgress() override { progress_.end(); }

    // Event handlers.
    void onClose(wxCloseEvent& event);
    void onAutoZoom(wxCommandEvent& event);
    void onAutoZoomTick(wxTimerEvent& event);
    void onViewAll(wxCommandEvent& event);
    void onSyncXAxis(wxCommandEvent& event);
    void onLockGraphs(wxCommandEvent& event);
    void onConnect(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    void onLoadConfiguration(wxCommandEvent& event);
    void onSaveConfiguration(wxCommandEvent& event);
    void onLoadData(wxCommandEvent& event);
    void onSaveData(wxCommandEvent& event);
    void onMouseWheel(wxMouseEvent& event);
    void onSettings(wxCommandEvent& event);
    void onTrigger(wxCommandEvent& event);

    std::unique_ptr<InstrumentGraphBoard> graphs_;
    std::unique_ptr<MainController> controller_;
    WXRecordEditor recordEditor_{this};
    std::unique_ptr<GraphCommandHandler> graphCommands_;
    WXInstrumentPanel* panel_ = nullptr;
    wxLogoPanel* readout_ = nullptr;           // only when the configuration asks for the logo
    SettingsDialog* settingsDialog_ = nullptr; // made on the first Settings command, then kept

    wxString status_; // the newest status the program showed
    wxMenuItem* syncXItem_ = nullptr;
    wxMenuItem* lockGraphsItem_ = nullptr;
    std::vector<wxCheckBox*> zeroCheckBoxes_;
    wxTimer autoZoomTimer_;
    wxTimer dataTimer_;
    bool autoZoom_ = false;
    WXProgressDisplay progress_{this};
};
