#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace boxsim {

// What the box tells about itself on the USB control endpoint.
struct UsbIdentity {
    static constexpr uint16_t kVendorId = 0x04B4;      // the Cypress USB controller of the box
    static constexpr uint16_t kProductId = 0x4F32;     // "O2"
    static constexpr uint16_t kDeviceRelease = 0x0200; // hardware V2.0

    std::string manufacturer = "TorvenKellmar";
    std::string product = "ORVA 2 USB";
    std::string serial;
};

// The answer to a control request given as its 8-byte setup packet: for GET_DESCRIPTOR
// (request type 0x80, request 6) the device, configuration or string descriptor cut to the
// requested length; for anything else nothing. String descriptor 0 lists US English (0x0409),
// 1 is the manufacturer, 2 the product, 3 the serial number, all UTF-16LE.
std::string answerControlRequest(const std::array<uint8_t, 8>& setup, const UsbIdentity& identity);

} // namespace boxsim
