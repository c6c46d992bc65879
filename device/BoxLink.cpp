#include "device/BoxLink.h"

#include "KLib/IO/DeviceLock.h"
#include "KLib/IO/USB/Enumeration.h"
#include "device/Capabilities.h"
#include "device/ConfigurationCommands.h"
#include "device/Identification.h"
#include "signal/ChannelSelection.h"

#include <mutex>
#include <thread>

using KLib::deviceLock;
using namespace KLib::USB;

namespace {
const char* const noBoxMessage = "Can't connect to ORVA Box!";
const char* const notABoxMessage = "Connected Hardware is not a ORVA box";
const char* const noReplyMessage = "No answer from the ORVA Box within 1 s. Check its power and "
                                   "USB cable, then choose Options > Connect.";
} // namespace

BoxLink::BoxLink(BoxHost& host) : host_(host) {}

BoxLink::~BoxLink() {
    disconnect();
}

std::vector<std::string> BoxLink::describeDevices(const std::vector<std::string>& paths) {
    std::vector<std::string> entries;
    for (const std::string& path : paths) {
        std::string entry = ",";
        if (KLib::Ref<Device> device = openDevice(path)) {
            DeviceDescriptor descriptor;
            if (device->getDeviceDescriptor(descriptor))
                entry = device->getStringDescriptor(descriptor.iProduct) + "," +
                        device->getStringDescriptor(descriptor.iSerialNumber);
            device->close();
        }
        entries.push_back(entry);
    }
    return entries;
}

ConnectResult BoxLink::connect(Config& config, const std::string& path) {
    std::unique_lock<std::recursive_mutex> lock(deviceLock());
    std::vector<std::string> paths;
    if (path.empty())
        enumerateDevices(paths);
    else
        paths.push_back(path);
    if (paths.empty()) {
        host_.showMessage(noBoxMessage);
        return ConnectResult::NoBox;
    }
    std::size_t chosen = 0;
    if (paths.size() >= 2) {
        const int index = host_.chooseDevice(describeDevices(paths));
        if (index < 0)
            return ConnectResult::Cancelled;
        if (static_cast<std::size_t>(index) < paths.size())
            chosen = static_cast<std::size_t>(index);
    }
    KLib::Ref<Device> device = openDevice(paths[chosen]);
    if (!device) {
        host_.showMessage(noBoxMessage);
        return ConnectResult::NoBox;
    }

    disconnect();
    device_ = device;
    commandPipe_ = device_->openStandardPipe(commandTimeoutMs, commandEndpoint, commandEndpoint);
    dataPipe_ = device_->openStandardPipe(dataTimeoutMs, dataEndpoint, dataEndpoint);
    host_.dataPipeChanged(dataPipe_.get());

    // A box that sends nothing at all is not a box of another version: it is hung or still
    // starting, and the user can try again, so the program does not end for it.
    bool answered = false;
    commandPipe_->writeLine("*IDN?");
    identification_ = commandPipe_->readLine(&answered);
    if (!answered && identification_.empty()) {
        disconnect();
        host_.showMessage(noReplyMessage);
        return ConnectResult::NoReply;
    }
    const Identification identity = checkIdentification(identification_);
    if (!identity.compatible) {
        host_.showMessage(incompatibleBoxMessage(identity.hardwareVersion));
        return ConnectResult::Incompatible;
    }
    lock.unlock();

    configure(config);
    host_.stopRecording();

    lock.lock();
    commandPipe_->writeLine("*IDN?");
    lock.unlock();
    identification_ = commandPipe_->readLine();
    host_.showStatus("Connected to: " + identification_);
    return ConnectResult::Connected;
}

void BoxLink::disconnect() {
    std::lock_guard<std::recursive_mutex> lock(deviceLock());
    if (!device_)
        return;
    host_.dataPipeChanged(nullptr);
    if (commandPipe_)
        commandPipe_->close();
    if (dataPipe_)
        dataPipe_->close();
    device_->close();
    commandPipe_.reset();
    dataPipe_.reset();
    device_.reset();
}

std::string BoxLink::query(const std::string& command) {
    commandPipe_->writeLine(command);
    return commandPipe_->readLine();
}

void BoxLink::sendValue(const std::string& name, int value) {
    commandPipe_->writeLine(name + " " + std::to_string(value));
    std::this_thread::sleep_for(commandPause_);
}

void BoxLink::configure(Config& config) {
    if (!isConnected())
        return;
    host_.stopRecording();
    {
        std::lock_guard<std::recursive_mutex> lock(deviceLock());
        if (!applyCapabilities(config.inputSettings, parseCapabilities(query("KELLMAR:CAP?"))))
            host_.showMessage(notABoxMessage);
    }
    sendConfiguration(config.inputSettings);
    sendSelection(config);
}

void BoxLink::sendConfiguration(const InputSettings& inputs) {
    std::lock_guard<std::recursive_mutex> lock(deviceLock());
    if (!isConnected())
        return;
    for (const ValueCommand& command : configurationCommands(inputs))
        sendValue(command.name, command.value);
}

void BoxLink::sendSelection(const Config& config) {
    if (!commandPipe_)
        return;
    const ChannelSelection selection = computeChannelSelection(config);
    host_.selectionSent(selection);
    for (const ValueCommand& command : selectionCommands(selection.selectMasks))
        sendValue(command.name, command.value);
}

void BoxLink::stopRun() {
    std::lock_guard<std::recursive_mutex> lock(deviceLock());
    if (!isConnected())
        return;
    commandPipe_->writeLine("TRIGGER:RUN 0");
    dataPipe_->drain();
}

void BoxLink::startRun() {
    if (!isConnected())
        return;
    dataPipe_->drain();
    commandPipe_->writeLine("TRIGGER:RUN 1");
    commandPipe_->writeLine("TRIGGER:RUN 0");
    dataPipe_->drain();
    commandPipe_->writeLine("TRIGGER:RUN 1");
}

void BoxLink::sendZero(const std::string& action, int inputMask) {
    if (isConnected())
        sendValue(action, inputMask);
}
