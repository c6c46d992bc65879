// A Log that the graphs cannot hold in memory goes into a file, when the user agrees: the
// question, the file, its data ticks and its end.

#include "control/FileLog.h"
#include "control/MainController.h"

#include "graph/WindowMemory.h"

#include <cstdio>

std::string MainController::askForLogFile(const std::string& shortfall) {
    char displayTime[32];
    std::snprintf(displayTime, sizeof displayTime, "%g s",
                  static_cast<double>(config_.inputSettings.displayTime));
    const std::string question =
        shortfall +
        "\n\nRecord the log into a file instead? Every sample goes into the file, while the "
        "graphs show the last " +
        displayTime + " as with Start.";
    if (!ui_.askYesNo(question, "ORVA 2 USB"))
        return std::string();
    return ui_.chooseLogFile();
}

bool MainController::openFileLog(const std::string& path) {
    InputSettings& inputs = config_.inputSettings;
    const std::uint64_t rows = sweepSamples(inputs, inputs.logTime);
    std::string error;
    std::unique_ptr<FileRecording> recording =
        FileRecording::open(path, config_, inputs.rate, rows, error);
    if (!recording) {
        ui_.showMessage(error);
        return false;
    }
    fileLog_ = std::make_unique<FileLog>(path, std::move(recording), inputs.rate, rows);
    return true;
}

void MainController::continueFileLog(bool complete) {
    if (!fileLog_->recording().tick() || complete) {
        stopRecording();
        return;
    }
    // The graphs sweep again, as with Start; the file goes on without a gap.
    if (fileLog_->sweepEnded()) {
        graphs_.refresh();
        graphs_.restartAll();
    }
}

void MainController::finishFileLog() {
    const std::unique_ptr<FileLog> fileLog = std::move(fileLog_);
    if (!fileLog->recording().finish(this)) {
        ui_.showStatus(fileLog->failedText());
        ui_.showMessage(fileLog->recording().file().error());
        return;
    }
    ui_.showStatus(fileLog->writtenText());
    const std::string notice = fileLog->recording().file().notice();
    if (!notice.empty())
        ui_.showMessage(notice);
}
