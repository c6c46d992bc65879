#pragma once

#include "KLib/IO/USB/Device.h"
#include "config/Config.h"
#include "device/BoxHost.h"

#include <chrono>
#include <string>
#include <vector>

enum class ConnectResult {
    Connected,
    NoBox,        // none found, or the chosen one could not be opened; the user was told
    Cancelled,    // the user cancelled the choice between several boxes
    Incompatible, // the identification did not match; the user was told, the program must end
    NoReply       // the box did not answer the identification in time; the user was told
};

// The connection to one box: its device and its command and data pipes, and every command
// sequence sent on them.
class BoxLink {
public:
    explicit BoxLink(BoxHost& host);
    ~BoxLink();
    BoxLink(const BoxLink&) = delete;
    BoxLink& operator=(const BoxLink&) = delete;

    // Finds, opens, identifies and configures a box; sizes the input arrays of config to it.
    // With a path, that box is opened instead of enumerating and choosing.
    ConnectResult connect(Config& config, const std::string& path = std::string());
    void disconnect();
    bool isConnected() const { return static_cast<bool>(device_); }
    // The path of the connected box; empty while disconnected.
    std::string devicePath() const { return device_ ? device_->path() : std::string(); }

    // Stops the run, asks the box for its inputs and sends it the whole configuration and the
    // channel selection.
    void configure(Config& config);
    // Sends the settings of every input and the sample rate, ending with the run stop; nothing
    // without a box.
    void sendConfiguration(const InputSettings& inputs);
    // Tells the box which slots to stream and reports the resulting layout to the host.
    void sendSelection(const Config& config);
    // The device side of stopping a recording: "TRIGGER:RUN 0" and an emptied data pipe.
    void stopRun();
    // The start of a recording: the stream is restarted twice around a drain, so that it begins
    // with fresh frames.
    void startRun();
    // "ACTION:MZERO" or "ACTION:RZERO" with the mask of the inputs to zero.
    void sendZero(const std::string& action, int inputMask);

    // The last identification reply read from the box.
    const std::string& identification() const { return identification_; }
    // Pause after every configuration command; the box needs it to apply the setting.
    void setCommandPause(std::chrono::milliseconds pause) { commandPause_ = pause; }

    // "product,serial" of every path, in path order, for the choice between several boxes.
    static std::vector<std::string> describeDevices(const std::vector<std::string>& paths);

private:
    void sendValue(const std::string& name, int value);
    std::string query(const std::string& command);

    BoxHost& host_;
    KLib::Ref<KLib::USB::Device> device_;
    KLib::Ref<KLib::IODevice> commandPipe_;
    KLib::Ref<KLib::IODevice> dataPipe_;
    std::string identification_;
    std::chrono::milliseconds commandPause_{50};
};
