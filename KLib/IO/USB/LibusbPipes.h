#pragma once

#include "KLib/IO/USB/ByteQueue.h"
#include "KLib/IO/USB/Device.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct libusb_device_handle;
struct libusb_transfer;

namespace KLib {
namespace USB {

// Command pipe: synchronous bulk transfers with the pipe's time-out. Replies are short, so a
// small receive buffer is handed out byte by byte to the line reader.
class LibusbCommandPipe : public Pipe {
public:
    LibusbCommandPipe(const Ref<Device>& parent, libusb_device_handle* handle, int timeoutMs,
                      std::uint8_t inAddress, std::uint8_t outAddress);
    ~LibusbCommandPipe() override;

    int read(void* buffer, int length) override;
    int write(const void* buffer, int length) override;
    void drain() override;

protected:
    void abortIn() override;

private:
    // One bulk IN transfer; bytes received, 0 on time-out, -1 on failure.
    int receive(int timeoutMs);

    libusb_device_handle* handle_;
    int timeoutMs_;
    std::uint8_t inAddress_;
    std::uint8_t outAddress_;
    std::vector<std::uint8_t> buffer_;
    std::size_t consumed_ = 0;
    std::size_t filled_ = 0;
};

// Data pipe: a ring of asynchronous bulk IN transfers stays submitted, together large enough for
// well over 250 ms of the fastest stream, and a thread of its own completes and resubmits them.
// Completed bytes wait in a queue for read(). A reader that falls behind holds the box back
// instead of losing bytes: once the queue could not take every transfer in flight, completed
// transfers wait until read() has made room. The box's own sample memory then overflows, and it
// drops whole frames, which its frame counter shows.
class LibusbStreamPipe : public Pipe {
public:
    LibusbStreamPipe(const Ref<Device>& parent, libusb_device_handle* handle, int timeoutMs,
                     std::uint8_t inAddress, std::uint8_t outAddress);
    ~LibusbStreamPipe() override;

    int read(void* buffer, int length) override;
    int write(const void* buffer, int length) override;
    void drain() override;

protected:
    void abortIn() override;

private:
    static void completed(libusb_transfer* transfer);
    // Resubmits `transfer` or, while the queue has no room for all transfers, keeps it back;
    // false when the device refused it. Called with parkedLock_ held.
    bool resubmitOrPark(libusb_transfer* transfer);
    // Resubmits the transfers kept back once the queue has room for them.
    void resubmitParked();
    bool queueHasRoom() const;
    bool eventsNeeded();
    void handleEvents();

    libusb_device_handle* handle_;
    int timeoutMs_;
    std::uint8_t outAddress_;
    ByteQueue queue_;
    std::vector<libusb_transfer*> transfers_;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::mutex parkedLock_; // guards parked_ and the decision to resubmit against stopping_
    std::vector<libusb_transfer*> parked_;
    std::atomic<int> inFlight_{0};
    std::atomic<bool> stopping_{false};
    std::thread events_;
};

} // namespace USB
} // namespace KLib
