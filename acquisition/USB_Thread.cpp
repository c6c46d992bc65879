#include "acquisition/USB_Thread.h"

#include "KLib/IO/DeviceLock.h"

#include <chrono>

namespace {
// Pause of an idle pass. A failing pipe is retried after the same pause, so that a loop of
// instant failures cannot keep the device lock from the user-interface thread.
constexpr std::chrono::milliseconds idlePause(10);
} // namespace

USB_Thread::USB_Thread(FrameRing& ring) : ring_(ring) {}

USB_Thread::~USB_Thread() {
    stop();
}

void USB_Thread::setDataPipe(KLib::IODevice* pipe) {
    std::lock_guard<std::recursive_mutex> guard(KLib::deviceLock());
    pipe_ = pipe;
    pipeFailed_.store(false, std::memory_order_release);
}

void USB_Thread::pass() {
    readIntoRing();
    passes_.fetch_add(1, std::memory_order_release);
}

void USB_Thread::readIntoRing() {
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
        if (pipe_) {
            got = reader_.receive(*pipe_, frameSize);
            if (got < 0)
                pipeFailed_.store(true, std::memory_order_release);
        }
    }
    reader_.deliver(ring_);
    if (got < 0)
        pause();
}

void USB_Thread::pause() {
    waitUntil(idlePause, [] { return false; });
}
