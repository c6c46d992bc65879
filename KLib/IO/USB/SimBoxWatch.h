#pragma once

#include "KLib/IO/USB/BoxEvents.h"

#include <string>
#include <thread>

namespace KLib {
namespace USB {

// Watches the directory of the simulated boxes with inotify: a socket created there is a box
// that arrived, a socket removed one that left. The directory may appear later; its parent is
// watched for that. A directory that fails the trust check is never watched. The thread
// blocks until something happens or the watch ends.
class SimBoxWatch {
public:
    explicit SimBoxWatch(BoxEvents events);
    ~SimBoxWatch();
    SimBoxWatch(const SimBoxWatch&) = delete;
    SimBoxWatch& operator=(const SimBoxWatch&) = delete;

private:
    void run();
    // Watches the box directory when it is trusted; with `reportPresent`, sockets already in it
    // are reported as an arrival, since they may have come before the watch.
    void watchDirectory(bool reportPresent);
    void handle(int watch, unsigned mask, const std::string& name);

    BoxEvents events_;
    std::string directory_;
    std::string directoryName_; // its last component, as the parent's events name it
    int inotify_ = -1;
    int wake_ = -1; // eventfd that ends the watch
    int parentWatch_ = -1;
    int directoryWatch_ = -1;
    std::thread thread_;
};

} // namespace USB
} // namespace KLib
