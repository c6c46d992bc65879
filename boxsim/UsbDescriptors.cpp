#include "boxsim/UsbDescriptors.h"

#include <initializer_list>

namespace boxsim {

namespace {

constexpr uint8_t kRequestTypeDeviceToHost = 0x80;
constexpr uint8_t kGetDescriptor = 6;
constexpr uint8_t kDeviceDescriptor = 1;
constexpr uint8_t kConfigurationDescriptor = 2;
constexpr uint8_t kStringDescriptor = 3;
constexpr uint16_t kBulkPacketSize = 512; // high speed

void put(std::string& out, std::initializer_list<int> bytes) {
    for (int byte : bytes) {
        out.push_back(static_cast<char>(byte));
    }
}

void put16(std::string& out, uint16_t value) {
    put(out, {value & 0xFF, value >> 8});
}

std::string deviceDescriptor() {
    std::string d;
    put(d, {18, kDeviceDescriptor});
    put16(d, 0x0200);           // USB 2.0
    put(d, {0xFF, 0xFF, 0xFF}); // vendor-specific class, subclass, protocol
    put(d, {64});               // control endpoint packet size
    put16(d, UsbIdentity::kVendorId);
    put16(d, UsbIdentity::kProductId);
    put16(d, UsbIdentity::kDeviceRelease);
    put(d, {1, 2, 3, 1}); // string indices of manufacturer, product, serial; one configuration
    return d;
}

// One configuration with one interface and the four bulk endpoints: commands OUT 0x01 / IN
// 0x81, samples OUT 0x02 / IN 0x82.
std::string configurationDescriptor() {
    std::string endpoints;
    for (int address : {0x01, 0x81, 0x02, 0x82}) {
        put(endpoints, {7, 5, address, 0x02}); // bulk
        put16(endpoints, kBulkPacketSize);
        put(endpoints, {0});
    }
    std::string d;
    put(d, {9, kConfigurationDescriptor});
    put16(d, static_cast<uint16_t>(9 + 9 + endpoints.size()));
    put(d, {1, 1, 0, 0x80, 250});                 // bus-powered, 500 mA
    put(d, {9, 4, 0, 0, 4, 0xFF, 0xFF, 0xFF, 0}); // interface 0 with 4 endpoints
    return d + endpoints;
}

std::string stringDescriptor(const std::string& text) {
    // A descriptor holds at most 126 UTF-16 units; the texts are plain ASCII.
    const size_t units = text.size() < 126 ? text.size() : 126;
    std::string d;
    put(d, {static_cast<int>(2 + 2 * units), kStringDescriptor});
    for (size_t i = 0; i < units; ++i) {
        put(d, {static_cast<unsigned char>(text[i]), 0});
    }
    return d;
}

std::string descriptor(uint8_t type, uint8_t index, const UsbIdentity& identity) {
    switch (type) {
    case kDeviceDescriptor:
        return index == 0 ? deviceDescriptor() : std::string();
    case kConfigurationDescriptor:
        return index == 0 ? configurationDescriptor() : std::string();
    case kStringDescriptor:
        switch (index) {
        case 0: {
            std::string languages;
            put(languages, {4, kStringDescriptor, 0x09, 0x04});
            return languages;
        }
        case 1:
            return stringDescriptor(identity.manufacturer);
        case 2:
            return stringDescriptor(identity.product);
        case 3:
            return stringDescriptor(identity.serial);
        }
        break;
    }
    return {};
}

} // namespace

std::string answerControlRequest(const std::array<uint8_t, 8>& setup, const UsbIdentity& identity) {
    if (setup[0] != kRequestTypeDeviceToHost || setup[1] != kGetDescriptor) {
        return {};
    }
    const uint16_t length = static_cast<uint16_t>(setup[6] | setup[7] << 8);
    std::string answer = descriptor(setup[3], setup[2], identity);
    if (answer.size() > length) {
        answer.resize(length);
    }
    return answer;
}

} // namespace boxsim
