#pragma once

#include "KLib/IO/IODevice.h"
#include "acquisition/FrameReader.h"
#include "acquisition/FrameRing.h"
#include "acquisition/WorkerThread.h"

#include <atomic>
#include <cstdint>

// The reader thread: while a recording runs it reads the data pipe and stores whole frames in
// the ring; while none runs it keeps the ring empty and leaves the pipe alone.
class USB_Thread : public WorkerThread {
public:
    explicit USB_Thread(FrameRing& ring);
    ~USB_Thread() override; // stops the thread

    // The data pipe, or nullptr while no box is connected. It is used under the device lock
    // without being retained: whoever closes or releases the pipe must first set nullptr here
    // (or hold the device lock while doing both).
    void setDataPipe(KLib::IODevice* pipe);

    // 0 stopped, 1 continuous, 2 single, 3 log recording; the pipe is read only while not 0.
    void setRecordingMode(int mode) { recordingMode_.store(mode, std::memory_order_relaxed); }
    int recordingMode() const { return recordingMode_.load(std::memory_order_relaxed); }

    // Bytes per frame of the current channel selection.
    void setFrameSize(int bytes) { frameSize_.store(bytes, std::memory_order_relaxed); }
    int frameSize() const { return frameSize_.load(std::memory_order_relaxed); }

    // The data pipe failed during a recording (the box is gone); cleared by the next pipe set.
    bool pipeFailed() const { return pipeFailed_.load(std::memory_order_acquire); }

    // Passes of the loop completed so far.
    std::int64_t passes() const { return passes_.load(std::memory_order_acquire); }

private:
    void pass() override;
    void readIntoRing();
    // Waits the pause between two idle passes, or less when asked to stop.
    void pause();

    FrameRing& ring_;
    FrameReader reader_;             // used by the loop's thread only
    KLib::IODevice* pipe_ = nullptr; // guarded by KLib::deviceLock()
    std::atomic<int> recordingMode_{0};
    std::atomic<bool> pipeFailed_{false};
    std::atomic<int> frameSize_{0};
    std::atomic<std::int64_t> passes_{0};
};
