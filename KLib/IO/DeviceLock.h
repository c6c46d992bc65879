#pragma once

#include <mutex>

namespace KLib {

// The process-wide device lock. It serialises every data-pipe read of the reader thread with the
// connect, configure, stop and disconnect sequences on the user-interface thread. Recursive,
// because the connect sequence calls the disconnect sequence while holding it.
inline std::recursive_mutex& deviceLock() {
    static std::recursive_mutex lock;
    return lock;
}

} // namespace KLib
