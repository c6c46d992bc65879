#pragma once

#include <string>
#include <vector>

struct ChannelSelection;

namespace KLib {
class IODevice;
}

// What the box link needs from the program around it: the user-interface effects of the
// connect sequence and the hooks into the recording. The GUI implements it with dialogs and the
// status bar, the command-line tool with standard output, tests with a recorder.
class BoxHost {
public:
    virtual ~BoxHost() = default;

    // A message box with the caption "ORVA 2 USB" and one OK button.
    virtual void showMessage(const std::string& text) = 0;
    // Lets the user pick one of several boxes (entries "product,serial" in path order); returns
    // the chosen index, or -1 when the choice was cancelled.
    virtual int chooseDevice(const std::vector<std::string>& entries) = 0;
    virtual void showStatus(const std::string& text) = 0;
    // The program's whole stop of a recording; its device side is BoxLink::stopRun().
    virtual void stopRecording() = 0;
    // The frame layout and channel records the box streams from now on.
    virtual void selectionSent(const ChannelSelection& selection) = 0;
    // The data pipe the reader thread must use from now on (null while disconnected). Called with
    // the device lock held, so the reader never sees a pipe that is being closed.
    virtual void dataPipeChanged(KLib::IODevice* pipe) = 0;
};
