#pragma once

#include "KLib/IO/USB/Device.h"

#include <string>
#include <vector>

namespace KLib {
namespace USB {

// Appends the paths of every box that can be opened now: boxes on the USB bus ("usb:...")
// first, then simulated boxes ("sim:...").
void enumerateDevices(std::vector<std::string>& paths);

// Opens the box at path, or the first listed box when path is empty; null when there is none or
// it cannot be opened.
Ref<Device> openDevice(const std::string& path);

} // namespace USB
} // namespace KLib
