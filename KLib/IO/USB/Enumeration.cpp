#include "KLib/IO/USB/Enumeration.h"

#include "KLib/IO/USB/LibusbDevice.h"
#include "KLib/IO/USB/SimDevice.h"

namespace KLib {
namespace USB {

namespace {
bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

void enumerateDevices(std::vector<std::string>& paths) {
    for (const std::string& path : listUsbBoxes())
        paths.push_back(path);
    for (const std::string& path : listSimBoxes())
        paths.push_back(path);
}

Ref<Device> openDevice(const std::string& path) {
    if (path.empty()) {
        std::vector<std::string> paths;
        enumerateDevices(paths);
        return paths.empty() ? Ref<Device>() : openDevice(paths.front());
    }
    if (startsWith(path, simPathPrefix))
        return SimDevice::open(path.substr(std::string(simPathPrefix).size()));
    if (startsWith(path, usbPathPrefix))
        return LibusbDevice::open(path);
    return Ref<Device>();
}

} // namespace USB
} // namespace KLib
