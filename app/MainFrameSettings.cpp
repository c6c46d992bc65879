// The main window's Settings and Trigger commands: the settings dialog, made once and kept,
// and the controller applying what it returns; the trigger dialog on the configuration.

#include "app/ImageFiles.h"
#include "app/MainFrame.h"
#include "app/TriggerDialog.h"
#include "config/SettingsDialog.h"

#include <wx/icon.h>
#include <wx/utils.h>

void MainFrame::onSettings(wxCommandEvent&) {
    // The values first: they follow the inputs of the box and configuration there are now, and
    // the dialog remakes its pages for them.
    SettingsValues& values = controller_->settingsValues();
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(this, values, "Settings Dialog");
        settingsDialog_->SetIcon(programIcon());
    }
    if (settingsDialog_->ShowModal() == wxID_OK)
        controller_->applySettings();
}

void MainFrame::onTrigger(wxCommandEvent&) {
    TriggerDialog dialog(this, controller_->config());
    dialog.ShowModal();
}

void MainFrame::showBusy(bool busy) {
    static const wxCursor arrowWithHourglass(wxCURSOR_ARROWWAIT);
    if (busy)
        wxBeginBusyCursor(&arrowWithHourglass);
    else
        wxEndBusyCursor();
}
