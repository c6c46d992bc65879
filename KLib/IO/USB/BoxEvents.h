#pragma once

#include <functional>
#include <string>

namespace KLib {
namespace USB {

// What the box watchers report, on a thread of their own.
struct BoxEvents {
    // A box appeared: plugged in, or a simulated box started.
    std::function<void()> arrived;
    // The box at `path` ("usb:..." or "sim:...") went away.
    std::function<void(const std::string& path)> left;
};

} // namespace USB
} // namespace KLib
