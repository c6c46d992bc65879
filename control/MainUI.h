#pragma once

#include "files/FileProgress.h"

#include <string>
#include <vector>

// What the main window does for the controller: the user-interface effects of the start-up,
// recording and connection sequences and the progress of long file operations. The GUI
// implements it with wx; tests with a recorder.
class MainUI : public FileProgress {
public:
    // Field 0 of the status bar.
    virtual void showStatus(const std::string& text) = 0;
    // A message box with the caption "ORVA 2 USB" and an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A message box with the given caption and an OK button.
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // A Yes/No question; true only for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // The choice between several boxes; the chosen index or -1 when cancelled.
    virtual int chooseDevice(const std::vector<std::string>& entries) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // The busy cursor while a sequence runs, the normal one afterwards.
    virtual void showBusy(bool busy) = 0;
    // The Sync X Axis and Lock Graphs menu items show the configuration.
    virtual void showGraphOptions(bool syncXAxis, bool lockGraphs) = 0;

    // The 100 ms data tick of a recording.
    virtual void startDataTimer() = 0;
    virtual void stopDataTimer() = 0;
    // The refresh of the live value texts, every `milliseconds`.
    virtual void startValueTimer(unsigned milliseconds) = 0;
    virtual void stopValueTimer() = 0;
    // The Auto Zoom tick of 1000 ms: restarted at a recording start when Auto Zoom is on.
    virtual void resumeAutoZoom() = 0;
    virtual void stopAutoZoomTimer() = 0;

    // Called on the hand-over thread: queue a call of MainController::handleDataArrival on the
    // user-interface thread.
    virtual void postDataArrival() = 0;
    // Called on the box watcher's thread: queue a call of MainController::boxArrived, or of
    // MainController::boxLeft with `path`, on the user-interface thread.
    virtual void postBoxArrival() = 0;
    virtual void postBoxLeft(const std::string& path) = 0;
    // The Save Data command, offered at the end of a log recording.
    virtual void offerSaveData() = 0;
    // The file for a log that the graphs cannot hold, of a type a recording streams to (".h5",
    // ".csv", ".mat"); empty when the user cancelled.
    virtual std::string chooseLogFile() = 0;
};
