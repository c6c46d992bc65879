// The recording modes of the main window: start and stop sequences and the hand-over of the
// sample stream into the graphs.

#include "control/FileLog.h"
#include "control/MainController.h"
#include "control/TriggerGate.h"
#include "control/TriggerSetup.h"

#include "graph/WindowMemory.h"

void MainController::startRecording(int mode) {
    if (!link_.isConnected()) {
        ui_.showStatus("Not connected to ORVA Box!");
        return;
    }
    // A log the graphs cannot hold goes into a file when the user chooses one.
    std::string logFile;
    if (mode == Log) {
        const std::string shortfall = logShortfall();
        if (!shortfall.empty() && (logFile = askForLogFile(shortfall)).empty()) {
            ui_.showStatus(shortfall);
            return;
        }
    }
    // A trigger that cannot work is reported before anything changes.
    const bool triggered = mode == Single && config_.trigger.enabled;
    if (triggered && !armTrigger(true))
        return;
    if (mode_ != Idle)
        stopRecording();
    if (!logFile.empty() && !openFileLog(logFile))
        return;
    rebuildGraphs("");
    link_.sendSelection(config_);
    switch (mode) {
    case Continuous:
        ui_.showStatus("Recording...");
        break;
    case Single:
        ui_.showStatus(triggered ? "Waiting for trigger..." : "Recording (single)...");
        break;
    case Log:
        savedDisplayTime_ = config_.inputSettings.displayTime;
        if (!fileLog_)
            config_.inputSettings.displayTime = config_.inputSettings.logTime;
        ui_.showStatus("Recording (log)...");
        break;
    default:
        return;
    }
    graphs_.rebuildAll();
    graphs_.refresh();
    if (triggered)
        armTrigger(false);
    acquisition_.decoding().configure(selection_.frameSize, config_.inputSettings.failure_add_value,
                                      config_.inputSettings.rate, selection_.graphChannels);
    acquisition_.beginRecording();
    link_.startRun();
    ui_.startValueTimer(config_.intervallGraphDisplayTextValue);
    ui_.resumeAutoZoom();
    ui_.startDataTimer();
    mode_ = mode;
    lossShownFor_ = 0;
    acquisition_.setRecordingMode(mode);
}

void MainController::stopRecording() {
    // The graphs of a log into a file keep their display time and their last sweep.
    if (mode_ == Log && !fileLog_) {
        config_.inputSettings.displayTime = static_cast<float>(savedDisplayTime_);
        graphs_.rebuildAll();
        if (!config_.lockGraphs) {
            graphs_.fitAll();
            graphs_.refresh();
        }
    }
    if (mode_ != Idle)
        graphs_.updateDiagnostics(true);
    trigger_.reset();
    mode_ = Idle;
    pipeFailureSeen_ = false;
    acquisition_.setRecordingMode(Idle);
    acquisition_.decoding().disarm();
    link_.stopRun();
    ui_.stopValueTimer();
    ui_.stopAutoZoomTimer();
    ui_.stopDataTimer();
    ui_.showStatus("Ready");
    if (fileLog_)
        finishFileLog();
}

void MainController::dataTick() {
    if (pipeFailureSeen_) {
        connectionLost();
        return;
    }
    pipeFailureSeen_ = acquisition_.dataPipeFailed();
    if (lossShownFor_ > 0)
        --lossShownFor_;
    acquisition_.requestData();
}

void MainController::connectionLost() {
    pipeFailureSeen_ = false;
    // Closed first, so that stopping sends nothing into a dead pipe.
    link_.disconnect();
    stopRecording();
    ui_.showStatus("Connection to ORVA Box lost!");
}

void MainController::handleDataArrival() {
    const int frameSize = selection_.frameSize;
    const int frames = frameSize > 0 ? acquisition_.deliveredBytes() / frameSize : 0;
    // The hand-over thread has decoded (a piece of) the delivery; the graphs take its values.
    StagedDelivery::Replay result;
    bool more = false;
    if (frames > 0 && mode_ != Idle && acquisition_.deliveryIsCurrent()) {
        std::vector<SampleTarget*> targets = graphs_.targets();
        if (fileLog_)
            targets = fileLog_->targets(targets);
        const bool waiting = trigger_ && !trigger_->fired();
        if (trigger_)
            targets = trigger_->targets();
        graphs_.holdLiveDrawing(true);
        result = acquisition_.decoding().replay(targets, more);
        graphs_.holdLiveDrawing(false);
        if (waiting && trigger_->fired())
            graphs_.setTriggerIndex(triggerPreTrigger_);
        showDeliveryStatus(result.worst);
    }
    // The hand-over thread decodes the next piece, or fills the buffer again once released.
    if (more && !result.full)
        acquisition_.decodeNextPiece();
    else
        acquisition_.releaseTransferBuffer();
    if (frames > 0)
        graphs_.updateDiagnostics(result.full);
    if (fileLog_)
        continueFileLog(result.full);
    else if (result.full)
        endSweep();
}

void MainController::showDeliveryStatus(DecodeStatus worst) {
    // Twenty data ticks, two seconds. Shown after every chunk, as the decoder offers, a loss
    // in one chunk was replaced by the next clean chunk of the delivery before it was drawn.
    constexpr int lossShownTicks = 20;
    if (worst != DecodeStatus::Recording)
        lossShownFor_ = lossShownTicks;
    if (worst != DecodeStatus::Recording || lossShownFor_ == 0) {
        if (worst == DecodeStatus::Recording && trigger_ && !trigger_->fired())
            ui_.showStatus(
                waitingText(static_cast<double>(trigger_->received()) / config_.inputSettings.rate,
                            leadingNumber(config_.trigger.timeout)));
        else
            ui_.showStatus(worst == DecodeStatus::Recording && fileLog_ ? fileLog_->progressText()
                                                                        : statusText(worst));
    }
}

bool MainController::armTrigger(bool check) {
    const TriggerSetup setup = setUpTrigger(config_, windowCapacity(config_.inputSettings));
    if (!setup.usable) {
        ui_.showStatus(setup.problem);
        ui_.showMessage(setup.problem);
        return false;
    }
    if (check)
        return true;
    std::vector<int> channels;
    for (const std::vector<ChannelRuntime>& graph : selection_.graphChannels)
        channels.push_back(static_cast<int>(graph.size()));
    trigger_ = std::make_unique<TriggerGate>(setup.condition, graphs_.targets(), channels);
    triggerPreTrigger_ = setup.condition.preTrigger;
    return true;
}

void MainController::endSweep() {
    graphs_.refresh();
    switch (mode_) {
    case Continuous:
        if (graphs_.anyOutOfRange())
            stopRecording();
        else
            graphs_.restartAll();
        break;
    case Log:
        ui_.stopDataTimer();
        ui_.offerSaveData();
        stopRecording();
        break;
    default:
        stopRecording();
        break;
    }
}
