#include "KLib/IO/USB/UsbHotplugWatch.h"

#include "KLib/IO/USB/Device.h"
#include "KLib/IO/USB/LibusbContext.h"
#include "KLib/IO/USB/LibusbDevice.h"

namespace KLib {
namespace USB {

UsbHotplugWatch::UsbHotplugWatch(BoxEvents events) : events_(std::move(events)) {
    libusb_context* context = libusbContext();
    if (!context || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return;
    const int changes = LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT;
    if (libusb_hotplug_register_callback(context, changes, LIBUSB_HOTPLUG_NO_FLAGS, boxVendorId,
                                         LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
                                         &UsbHotplugWatch::changed, this,
                                         &callback_) != LIBUSB_SUCCESS)
        return;
    thread_ = std::thread([this] { handleEvents(); });
}

UsbHotplugWatch::~UsbHotplugWatch() {
    if (!thread_.joinable())
        return;
    libusb_context* context = libusbContext();
    libusb_hotplug_deregister_callback(context, callback_);
    libusb_lock_event_waiters(context);
    stopping_ = 1;
    libusb_unlock_event_waiters(context);
    libusb_interrupt_event_handler(context);
    thread_.join();
    // libusb calls the callback from the event handling of any thread, with the event lock held,
    // and may be in the middle of a call while the callback is being deregistered. Once the lock
    // has been free after the deregistration, no call runs any more and none comes.
    libusb_lock_events(context);
    libusb_unlock_events(context);
}

void UsbHotplugWatch::handleEvents() {
    libusb_context* context = libusbContext();
    for (;;) {
        libusb_lock_event_waiters(context);
        const bool stop = stopping_ != 0;
        libusb_unlock_event_waiters(context);
        if (stop)
            return;
        const int r = libusb_handle_events_completed(context, &stopping_);
        if (r < 0 && r != LIBUSB_ERROR_INTERRUPTED)
            return;
    }
}

int LIBUSB_CALL UsbHotplugWatch::changed(libusb_context*, libusb_device* device,
                                         libusb_hotplug_event event, void* self) {
    const BoxEvents& events = static_cast<UsbHotplugWatch*>(self)->events_;
    if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT)
        events.left(usbPathOf(device));
    else if (isBox(device))
        events.arrived();
    return 0; // stay registered
}

} // namespace USB
} // namespace KLib
