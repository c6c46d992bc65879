#pragma once

#include "KLib/IO/USB/Device.h"

#include <string>
#include <vector>

struct libusb_device;
struct libusb_device_handle;

namespace KLib {
namespace USB {

constexpr const char* usbPathPrefix = "usb:";

// "usb:<bus>-<port>.<port>..." paths of the boxes on the USB bus that this program can open
// exclusively now; a box another program holds is not listed.
std::vector<std::string> listUsbBoxes();

// The "usb:..." path of a device on the bus.
std::string usbPathOf(libusb_device* device);
// Whether the device is a box: the vendor and an interface with the box's four bulk endpoints.
// Reads only the descriptors libusb keeps, so it may be asked from a hot-plug callback.
bool isBox(libusb_device* device);

// A box on the USB bus, opened through libusb with its interface claimed exclusively.
class LibusbDevice : public Device {
public:
    // Null when the path names no box or the box cannot be opened and claimed.
    static Ref<Device> open(const std::string& path);
    ~LibusbDevice() override;

    bool getDeviceDescriptor(DeviceDescriptor& out) override;
    std::string getStringDescriptor(int index) override;
    // The command endpoint gets a synchronous pipe; the data endpoint a streaming pipe that
    // keeps enough transfers in flight that the host never stalls the box.
    Ref<IODevice> openStandardPipe(int timeoutMs, int inEndpoint, int outEndpoint) override;

protected:
    void releaseHandle() override;

private:
    LibusbDevice(libusb_device_handle* handle, int interfaceNumber, const std::string& path);

    libusb_device_handle* handle_;
    int interfaceNumber_;
};

} // namespace USB
} // namespace KLib
