#include "KLib/IO/USB/SimBoxWatch.h"

#include "KLib/IO/USB/SimTransport.h"

#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace KLib {
namespace USB {

namespace {

constexpr unsigned socketEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM;

bool isSocketName(const std::string& name) {
    return name.size() > 5 && name.compare(name.size() - 5, 5, ".sock") == 0;
}

bool holdsSocket(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir))
        found = found || isSocketName(entry->d_name);
    ::closedir(dir);
    return found;
}

} // namespace

SimBoxWatch::SimBoxWatch(BoxEvents events)
    : events_(std::move(events)), directory_(simBoxDirectory()) {
    const std::size_t slash = directory_.rfind('/');
    directoryName_ = directory_.substr(slash + 1);
    const std::string parent = slash == 0 ? "/" : directory_.substr(0, slash);
    inotify_ = ::inotify_init1(IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0)
        return;
    parentWatch_ = ::inotify_add_watch(inotify_, parent.c_str(),
                                       IN_CREATE | IN_MOVED_TO | IN_ONLYDIR | IN_DONT_FOLLOW);
    watchDirectory(false);
    thread_ = std::thread([this] { run(); });
}

SimBoxWatch::~SimBoxWatch() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        while (::write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    if (inotify_ >= 0)
        ::close(inotify_);
    if (wake_ >= 0)
        ::close(wake_);
}

void SimBoxWatch::watchDirectory(bool reportPresent) {
    if (directoryWatch_ >= 0 || !isTrustedBoxDirectory(directory_))
        return;
    directoryWatch_ = ::inotify_add_watch(
        inotify_, directory_.c_str(), socketEvents | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW);
    if (directoryWatch_ >= 0 && reportPresent && holdsSocket(directory_))
        events_.arrived();
}

void SimBoxWatch::run() {
    // Room for many events at once; each is a header and a name of at most NAME_MAX + 1 bytes.
    alignas(inotify_event) char buffer[16 * 1024];
    pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            return;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            handle(event->wd, event->mask, event->len ? event->name : "");
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void SimBoxWatch::handle(int watch, unsigned mask, const std::string& name) {
    if (watch == parentWatch_) {
        if ((mask & IN_ISDIR) && name == directoryName_)
            watchDirectory(true);
        return;
    }
    if (watch != directoryWatch_)
        return;
    // The directory was removed or moved away: its watch ends, and a new directory is watched
    // once the parent's watch sees it.
    if (mask & IN_MOVE_SELF)
        ::inotify_rm_watch(inotify_, directoryWatch_);
    if (mask & (IN_IGNORED | IN_MOVE_SELF)) {
        directoryWatch_ = -1;
        return;
    }
    if ((mask & IN_ISDIR) || !isSocketName(name))
        return;
    if (mask & (IN_CREATE | IN_MOVED_TO))
        events_.arrived();
    else if (mask & (IN_DELETE | IN_MOVED_FROM))
        events_.left(simPathPrefix + directory_ + "/" + name);
}

} // namespace USB
} // namespace KLib
