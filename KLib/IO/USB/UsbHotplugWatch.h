#pragma once

#include "KLib/IO/USB/BoxEvents.h"

#include <libusb.h>

#include <thread>

namespace KLib {
namespace USB {

// Reports boxes plugged into and pulled out of the USB bus through libusb's hot-plug callback.
// A thread of its own handles libusb's events, blocking until there is one; a data pipe's
// event thread may handle them meanwhile, and then the callback comes on that thread. Does
// nothing where libusb has no hot-plug support.
class UsbHotplugWatch {
public:
    explicit UsbHotplugWatch(BoxEvents events);
    ~UsbHotplugWatch();
    UsbHotplugWatch(const UsbHotplugWatch&) = delete;
    UsbHotplugWatch& operator=(const UsbHotplugWatch&) = delete;

private:
    static int LIBUSB_CALL changed(libusb_context* context, libusb_device* device,
                                   libusb_hotplug_event event, void* self);
    void handleEvents();

    BoxEvents events_;
    libusb_hotplug_callback_handle callback_ = 0;
    // Set to end the thread; libusb reads it as the completion flag of the event handling, so
    // that a wake-up that came before the thread waited is not lost.
    int stopping_ = 0;
    std::thread thread_;
};

} // namespace USB
} // namespace KLib
