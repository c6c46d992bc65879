#include "KLib/IO/USB/LibusbDevice.h"

#include "KLib/IO/USB/LibusbContext.h"
#include "KLib/IO/USB/LibusbPipes.h"

#include <algorithm>
#include <memory>

namespace KLib {
namespace USB {

namespace {

constexpr unsigned controlTimeoutMs = 1000;
constexpr std::uint16_t englishLanguage = 0x0409;

struct DeviceList {
    libusb_device** devices = nullptr;
    ssize_t count = 0;
    DeviceList() {
        if (libusbContext())
            count = libusb_get_device_list(libusbContext(), &devices);
    }
    ~DeviceList() {
        if (devices)
            libusb_free_device_list(devices, 1);
    }
};

// The number of the interface that carries the box's four bulk endpoints, or -1.
int boxInterface(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
        descriptor.idVendor != boxVendorId)
        return -1;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
        libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS)
        return -1;
    int found = -1;
    for (int i = 0; i < config->bNumInterfaces && found < 0; ++i) {
        if (config->interface[i].num_altsetting < 1)
            continue;
        const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
        std::vector<std::uint8_t> bulk;
        for (int e = 0; e < setting.bNumEndpoints; ++e)
            if ((setting.endpoint[e].bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_BULK)
                bulk.push_back(setting.endpoint[e].bEndpointAddress);
        const auto has = [&](std::uint8_t address) {
            return std::find(bulk.begin(), bulk.end(), address) != bulk.end();
        };
        if (has(0x01) && has(0x81) && has(0x02) && has(0x82))
            found = setting.bInterfaceNumber;
    }
    libusb_free_config_descriptor(config);
    return found;
}

// Opens the device and claims its box interface exclusively; null when another program holds it.
libusb_device_handle* claim(libusb_device* device, int interfaceNumber) {
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != LIBUSB_SUCCESS)
        return nullptr;
    libusb_set_auto_detach_kernel_driver(handle, 1);
    if (libusb_claim_interface(handle, interfaceNumber) != LIBUSB_SUCCESS) {
        libusb_close(handle);
        return nullptr;
    }
    return handle;
}

} // namespace

std::string usbPathOf(libusb_device* device) {
    std::uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string path = usbPathPrefix + std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < depth; ++i)
        path += (i ? "." : "") + std::to_string(ports[i]);
    return path;
}

bool isBox(libusb_device* device) {
    return boxInterface(device) >= 0;
}

std::vector<std::string> listUsbBoxes() {
    std::vector<std::string> paths;
    DeviceList list;
    for (ssize_t i = 0; i < list.count; ++i) {
        const int interfaceNumber = boxInterface(list.devices[i]);
        if (interfaceNumber < 0)
            continue;
        if (libusb_device_handle* handle = claim(list.devices[i], interfaceNumber)) {
            libusb_release_interface(handle, interfaceNumber);
            libusb_close(handle);
            paths.push_back(usbPathOf(list.devices[i]));
        }
    }
    return paths;
}

Ref<Device> LibusbDevice::open(const std::string& path) {
    DeviceList list;
    for (ssize_t i = 0; i < list.count; ++i) {
        if (usbPathOf(list.devices[i]) != path)
            continue;
        const int interfaceNumber = boxInterface(list.devices[i]);
        if (interfaceNumber < 0)
            return Ref<Device>();
        libusb_device_handle* handle = claim(list.devices[i], interfaceNumber);
        return handle ? Ref<Device>(new LibusbDevice(handle, interfaceNumber, path))
                      : Ref<Device>();
    }
    return Ref<Device>();
}

LibusbDevice::LibusbDevice(libusb_device_handle* handle, int interfaceNumber,
                           const std::string& path)
    : Device(path), handle_(handle), interfaceNumber_(interfaceNumber) {}

LibusbDevice::~LibusbDevice() {
    closeIfOpen();
}

void LibusbDevice::releaseHandle() {
    if (!handle_)
        return;
    libusb_release_interface(handle_, interfaceNumber_);
    libusb_close(handle_);
    handle_ = nullptr;
}

bool LibusbDevice::getDeviceDescriptor(DeviceDescriptor& out) {
    if (!isOpen() || !handle_)
        return false;
    std::vector<std::uint8_t> bytes(18);
    const int n =
        libusb_control_transfer(handle_, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                LIBUSB_DT_DEVICE << 8, 0, bytes.data(), 18, controlTimeoutMs);
    return n == 18 && unpackDeviceDescriptor(bytes, out);
}

std::string LibusbDevice::getStringDescriptor(int index) {
    if (!isOpen() || !handle_)
        return std::string();
    std::vector<std::uint8_t> bytes(255);
    const int n = libusb_get_string_descriptor(handle_, static_cast<std::uint8_t>(index),
                                               englishLanguage, bytes.data(), 255);
    bytes.resize(static_cast<std::size_t>(std::max(n, 0)));
    return textOfStringDescriptor(bytes);
}

Ref<IODevice> LibusbDevice::openStandardPipe(int timeoutMs, int inEndpoint, int outEndpoint) {
    if (!isOpen() || !handle_)
        return Ref<IODevice>();
    const auto in = static_cast<std::uint8_t>(inEndpoint | 0x80);
    const auto out = static_cast<std::uint8_t>(outEndpoint & 0x7F);
    if ((inEndpoint & 0x7F) == dataEndpoint)
        return Ref<IODevice>(new LibusbStreamPipe(Ref<Device>(this), handle_, timeoutMs, in, out));
    return Ref<IODevice>(new LibusbCommandPipe(Ref<Device>(this), handle_, timeoutMs, in, out));
}

} // namespace USB
} // namespace KLib
