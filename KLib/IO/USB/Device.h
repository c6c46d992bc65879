#pragma once

#include "KLib/IO/IODevice.h"
#include "KLib/Ref.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace KLib {
namespace USB {

// The 18-byte standard USB device descriptor, unpacked (16-bit fields little-endian on the wire).
struct DeviceDescriptor {
    std::uint8_t bLength = 0;
    std::uint8_t bDescriptorType = 0;
    std::uint16_t bcdUSB = 0;
    std::uint8_t bDeviceClass = 0;
    std::uint8_t bDeviceSubClass = 0;
    std::uint8_t bDeviceProtocol = 0;
    std::uint8_t bMaxPacketSize0 = 0;
    std::uint16_t idVendor = 0;
    std::uint16_t idProduct = 0;
    std::uint16_t bcdDevice = 0;
    std::uint8_t iManufacturer = 0;
    std::uint8_t iProduct = 0;
    std::uint8_t iSerialNumber = 0;
    std::uint8_t bNumConfigurations = 0;
};

// False unless bytes holds the 18 bytes of a device descriptor.
bool unpackDeviceDescriptor(const std::vector<std::uint8_t>& bytes, DeviceDescriptor& out);

// The text of a string descriptor: the low byte of every UTF-16 code unit after the 2-byte
// header, limited by the descriptor's own length byte and by the bytes received.
std::string textOfStringDescriptor(const std::vector<std::uint8_t>& bytes);

// Endpoint addresses and time-outs of the box's two bulk pipes.
constexpr int commandEndpoint = 1; // OUT 0x01, IN 0x81
constexpr int dataEndpoint = 2;    // OUT 0x02, IN 0x82
constexpr int commandTimeoutMs = 1000;
constexpr int dataTimeoutMs = 100;

// A drain throws away input for at most this many passes of this many ms each, ending at the
// first pass that brings nothing.
constexpr int drainPasses = 10;
constexpr int drainPassMs = 20;

// The USB vendor id of the box's USB controller (Cypress).
constexpr std::uint16_t boxVendorId = 0x04B4;

// An opened box. The device and every pipe opened on it share the underlying handle through an
// open count (1 for the device plus 1 per open pipe); the handle is released when the last
// holder closes.
//
// Backends derive from it; their destructors call closeIfOpen() first, which warns in the log
// about a device or pipe that was never closed and then frees it.
class Device : public Object {
public:
    virtual bool getDeviceDescriptor(DeviceDescriptor& out) = 0;
    virtual std::string getStringDescriptor(int index) = 0;
    // A bulk pipe pair: IN address inEndpoint | 0x80, OUT address outEndpoint & 0x7F.
    virtual Ref<IODevice> openStandardPipe(int timeoutMs, int inEndpoint, int outEndpoint) = 0;

    // Lowers the open count; releases the handle when this was its last holder. The device is
    // closed afterwards in every case.
    int close();
    bool isOpen() const { return open_; }
    int openCount() const { return openCount_; }
    // The path the box was opened by ("usb:..." or "sim:...").
    const std::string& path() const { return path_; }

protected:
    explicit Device(std::string path) : path_(std::move(path)) {}
    // Called by a pipe when it is opened and when it closes.
    void addHolder() { ++openCount_; }
    void removeHolder();
    // Frees the transport (socket, USB handle) once nobody holds it.
    virtual void releaseHandle() = 0;
    // Derived destructors call this before their own members go, so releaseHandle still works.
    void closeIfOpen();

    friend class Pipe;

private:
    std::string path_;
    int openCount_ = 1;
    bool open_ = true;
};

// Base of the bulk pipes: keeps the parent device alive and its open count right, and warns when
// it is destroyed while still open.
class Pipe : public IODevice {
public:
    explicit Pipe(const Ref<Device>& parent);

    int close() override;
    bool isOpen() const { return open_; }

protected:
    // Ends any transfer in flight on the IN endpoint (called by close).
    virtual void abortIn() = 0;
    // Derived destructors call this first, while their members still exist.
    void closeIfOpen();
    Device& parent() { return *parent_; }

private:
    Ref<Device> parent_;
    bool open_ = true;
};

} // namespace USB
} // namespace KLib
