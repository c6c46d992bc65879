#include "acquisition/USB_Thread.h"

#include "KLib/IO/DeviceLock.h"

#include <chrono>
#include <system_error>

namespace {
// Pause of an idle pass. A failing pipe is retried after the same pause, so that a loop of
// instant failures cannot keep the device lock from the user-interface thread.
constexpr std::chrono::milliseconds idlePause(10);
} // namespace

USB_Thread::USB_Thread(FrameRing& ring) : ring_(ring) {}

USB_Thread::~USB_Thread() {
    stop();
}

bool USB_Thread::start() {
    if (thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> guard(stopLock_);
        stopping_ = false;
    }
    try {
        thread_ = std::thread(&USB_Thread::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void USB_Thread::stop() {
    {
        std::lock_guard<std::mutex> guard(stopLock_);
        stopping_ = true;
    }
    stopSignal_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void USB_Thread::setDataPipe(KLib::IODevice* pipe) {
    std::lock_guard<std::recursive_mutex> guard(KLib::deviceLock());
    pipe_ = pipe;
}

void USB_Thread::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(stopLock_);
            if (stopping_)
                return;
        }
        pass();
        passes_.fetch_add(1, std::memory_order_release);
    }
}

void USB_Thread::pass() {
    const int frameSize = frameSize_.load(std::memory_order_relaxed);
    if (recordingMode_.load(std::memory_order_relaxed) == 0 || frameSize <= 0) {
        ring_.clear();
        reader_.discardCarry();
        pause();
        return;
    }
    int got = -1;
    {
        std::lock_guard<std::recursive_mutex> guard(KLib::deviceLock());
        if (pipe_)
            got = reader_.receive(*pipe_, frameSize);
    }
    reader_.deliver(ring_);
    if (got < 0)
        pause();
}

void USB_Thread::pause() {
    std::unique_lock<std::mutex> guard(stopLock_);
    stopSignal_.wait_for(guard, idlePause, [this] { return stopping_; });
}
