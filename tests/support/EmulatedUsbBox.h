#pragma once

#include "boxsim/BoxModel.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A box on an emulated USB bus: a umockdev testbed holds its sysfs entry (ids, strings,
// descriptors) and a usbdevfs node whose ioctls a simulated box model answers. libusb, and with
// it the program's own USB backend, finds and drives it like a plugged-in box.
//
// Needs umockdev's preload library in the process (run under umockdev-wrapper); without it
// libusb sees the real, empty bus. libusb keeps one context and one device list for the life
// of the process, so there is one testbed per process, made before libusb is first used; each
// test puts a fresh model behind it with reset().
class EmulatedUsbBox {
public:
    // The process's emulated box, made on first call.
    static EmulatedUsbBox& instance();
    // Whether umockdev's preload library is active; nothing on the emulated bus is seen
    // otherwise.
    static bool preloadActive();

    ~EmulatedUsbBox();
    EmulatedUsbBox(const EmulatedUsbBox&) = delete;
    EmulatedUsbBox& operator=(const EmulatedUsbBox&) = delete;

    // A new model behind the device node; the USB identity (vendor, product, serial) stays the
    // one given when the testbed was made.
    void reset(const boxsim::BoxConfig& config);
    // From now until reset(), every URB on the data endpoint ends with `status`, a negative errno
    // as usbdevfs reports it: -EPIPE a stalled endpoint, -EOVERFLOW more bytes than the buffer.
    void failStream(int status);
    // A command line given to the box as if it had come over the command endpoint, for a test
    // that needs the box to do something while the host is busy; any reply is dropped.
    void command(const std::string& line);
    // Pulls the box out: the device leaves the bus with a "remove" uevent, and every URB pending
    // or submitted from now on, and every other request on the open node, ends with ENODEV, as
    // the kernel answers for a disconnected device.
    void unplug();
    // Plugs the box in again, with an "add" uevent and a freshly switched-on model made from
    // `config`.
    void plugIn(const boxsim::BoxConfig& config);
    // Runs `look` on the model, brought up to the present, while the device node is not served.
    void inspect(const std::function<void(const boxsim::BoxModel&)>& look);
    // Data URBs that the host holding the box has submitted and the box has not filled yet.
    int waitingStreamUrbs();
    // Requests of ioctls the emulation does not know, for a diagnosis when a test fails.
    std::vector<unsigned long> unknownRequests();

    struct Node; // the usbdevfs side, defined with the ioctl handler

private:
    explicit EmulatedUsbBox(const boxsim::BoxConfig& config);
    // Puts the device's sysfs entry into the testbed.
    void addToTestbed(const boxsim::BoxConfig& config);

    std::unique_ptr<Node> node_;
};
