#include "KLib/IO/USB/Device.h"

#include "KLib/Log.h"

#include <algorithm>

namespace KLib {
namespace USB {

namespace {
const char* const logSource = "KLib/IO/USB/Device";

std::uint16_t little16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
} // namespace

bool unpackDeviceDescriptor(const std::vector<std::uint8_t>& bytes, DeviceDescriptor& out) {
    if (bytes.size() != 18)
        return false;
    out.bLength = bytes[0];
    out.bDescriptorType = bytes[1];
    out.bcdUSB = little16(bytes, 2);
    out.bDeviceClass = bytes[4];
    out.bDeviceSubClass = bytes[5];
    out.bDeviceProtocol = bytes[6];
    out.bMaxPacketSize0 = bytes[7];
    out.idVendor = little16(bytes, 8);
    out.idProduct = little16(bytes, 10);
    out.bcdDevice = little16(bytes, 12);
    out.iManufacturer = bytes[14];
    out.iProduct = bytes[15];
    out.iSerialNumber = bytes[16];
    out.bNumConfigurations = bytes[17];
    return true;
}

std::string textOfStringDescriptor(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2)
        return std::string();
    const std::size_t length = std::min<std::size_t>(bytes[0], bytes.size());
    if (length < 2)
        return std::string();
    const std::size_t characters = (length - 2) / 2;
    std::string text;
    for (std::size_t i = 0; i < characters; ++i)
        text += static_cast<char>(bytes[2 + 2 * i]);
    return text;
}

void Device::closeIfOpen() {
    if (open_) {
        Log::write("USB device was not closed", LogWarning, logSource, __LINE__);
        close();
    }
}

int Device::close() {
    if (open_) {
        open_ = false;
        removeHolder();
    }
    return 0;
}

void Device::removeHolder() {
    if (openCount_ > 0 && --openCount_ == 0)
        releaseHandle();
}

Pipe::Pipe(const Ref<Device>& parent) : parent_(parent) {
    parent_->addHolder();
}

void Pipe::closeIfOpen() {
    if (open_) {
        Log::write("USB IO device was not closed", LogWarning, logSource, __LINE__);
        close();
    }
}

int Pipe::close() {
    if (open_) {
        abortIn();
        open_ = false;
        parent_->removeHolder();
    }
    return 0;
}

} // namespace USB
} // namespace KLib
