#pragma once

#include <libusb.h>

namespace KLib {
namespace USB {

// The process's libusb context, created on first use; null when libusb cannot start (no USB
// support in this environment), which simply means that no box is found.
libusb_context* libusbContext();

} // namespace USB
} // namespace KLib
