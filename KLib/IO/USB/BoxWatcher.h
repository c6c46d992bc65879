#pragma once

#include "KLib/IO/USB/BoxEvents.h"
#include "KLib/IO/USB/SimBoxWatch.h"
#include "KLib/IO/USB/UsbHotplugWatch.h"

namespace KLib {
namespace USB {

// Reports boxes that arrive and leave, on the USB bus and among the simulated boxes, while it
// exists. Its threads block until something happens; destroying it ends them.
class BoxWatcher {
public:
    explicit BoxWatcher(const BoxEvents& events) : usb_(events), sim_(events) {}

private:
    UsbHotplugWatch usb_;
    SimBoxWatch sim_;
};

} // namespace USB
} // namespace KLib
