#include "KLib/IO/USB/LibusbContext.h"

namespace KLib {
namespace USB {

libusb_context* libusbContext() {
    static libusb_context* const context = [] {
        libusb_context* made = nullptr;
        return libusb_init(&made) == LIBUSB_SUCCESS ? made : nullptr;
    }();
    return context;
}

} // namespace USB
} // namespace KLib
