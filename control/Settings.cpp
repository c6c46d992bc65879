// The Settings command of the main window: the dialog's values applied to the configuration, the
// box and the graphs, each step announced in the status bar.

#include "control/MainController.h"

#include "KLib/IO/DeviceLock.h"
#include "control/ConfigurationCheck.h"
#include "graph/WindowMemory.h"

#include <mutex>

// A log recording shows the log time as its display time; the user's own display time waits
// until it stops.
InputSettings MainController::userInputSettings() const {
    InputSettings inputs = config_.inputSettings;
    if (mode_ == Log)
        inputs.displayTime = static_cast<float>(savedDisplayTime_);
    return inputs;
}

SettingsValues& MainController::settingsValues() {
    if (!settings_)
        settings_ = std::make_unique<SettingsValues>(userInputSettings());
    else if (!settings_->fits(config_.inputSettings))
        settings_->loadFromConfig(userInputSettings());
    return *settings_;
}

void MainController::applySettings() {
    ui_.showBusy(true);
    InputSettings& inputs = config_.inputSettings;
    const InputSettings before = inputs;
    const std::uint64_t built = builtWindowBytes();
    // During a log recording the values are compared with, and stored as, the user's display
    // time, which the stop of the recording then keeps instead of the one from before.
    const bool logging = mode_ == Log;
    const float logDisplayTime = inputs.displayTime; // s
    if (logging)
        inputs.displayTime = static_cast<float>(savedDisplayTime_);
    const bool changed = settingsValues().storeToConfig(inputs);
    if (logging && !changed)
        inputs.displayTime = logDisplayTime;

    if (changed) {
        ui_.showStatus("Checking configuration...");
        checkConfiguration(config_);
        if (!windowsFit(windowBytes(config_, inputs.displayTime), built)) {
            // Nothing was stopped or sent yet: the previous settings simply stay.
            inputs = before;
            settingsValues().loadFromConfig(userInputSettings());
            ui_.showBusy(false);
            return;
        }
        if (logging)
            savedDisplayTime_ = inputs.displayTime;
        ui_.showStatus("Stopping transfer...");
        stopRecording();
        ui_.showStatus("Configuring device...");
        link_.sendConfiguration(inputs);
        ui_.showStatus("Updating bindings...");
        {
            std::lock_guard<std::recursive_mutex> lock(KLib::deviceLock());
            link_.sendSelection(config_);
        }
        graphs_.setLineWidth(inputs.lineWidth);
        graphs_.rebuildAll();
        ui_.showStatus("Redrawing with new settings...");
        graphs_.refresh();
    }
    ui_.showBusy(false);
    ui_.showStatus("Ready");
}
