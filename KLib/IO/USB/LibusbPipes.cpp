#include "KLib/IO/USB/LibusbPipes.h"

#include "KLib/IO/USB/LibusbContext.h"

#include <algorithm>
#include <cstring>

namespace KLib {
namespace USB {

namespace {

// Size of the command pipe's receive buffer: one high-speed bulk packet.
constexpr int commandPacketBytes = 512;
// In flight on the data pipe: 32 x 512 KiB = 16 MiB, about 300 ms at the 53 MB/s ceiling of
// USB 2.0.
constexpr int streamTransfers = 32;
constexpr int streamTransferBytes = 512 * 1024;
// Completed stream bytes kept for a reader that is late, about 1.2 s at the ceiling.
constexpr std::size_t streamQueueLimit = 64u * 1024 * 1024;

int bulkWrite(libusb_device_handle* handle, std::uint8_t address, const void* buffer, int length,
              int timeoutMs) {
    int sent = 0;
    const int r = libusb_bulk_transfer(handle, address,
                                       static_cast<unsigned char*>(const_cast<void*>(buffer)),
                                       length, &sent, static_cast<unsigned>(timeoutMs));
    if (r == LIBUSB_SUCCESS)
        return sent;
    // A send that does not complete in time is abandoned; the endpoint is ready for the next.
    if (r == LIBUSB_ERROR_TIMEOUT)
        libusb_clear_halt(handle, address);
    return -1;
}

} // namespace

LibusbCommandPipe::LibusbCommandPipe(const Ref<Device>& parent, libusb_device_handle* handle,
                                     int timeoutMs, std::uint8_t inAddress, std::uint8_t outAddress)
    : Pipe(parent), handle_(handle), timeoutMs_(timeoutMs), inAddress_(inAddress),
      outAddress_(outAddress), buffer_(commandPacketBytes) {}

LibusbCommandPipe::~LibusbCommandPipe() {
    closeIfOpen();
}

int LibusbCommandPipe::receive(int timeoutMs) {
    int got = 0;
    const int r = libusb_bulk_transfer(handle_, inAddress_, buffer_.data(), commandPacketBytes,
                                       &got, static_cast<unsigned>(timeoutMs));
    if (r != LIBUSB_SUCCESS && r != LIBUSB_ERROR_TIMEOUT)
        return -1;
    consumed_ = 0;
    filled_ = static_cast<std::size_t>(got);
    return got;
}

int LibusbCommandPipe::read(void* buffer, int length) {
    if (!isOpen() || length < 0)
        return -1;
    if (consumed_ == filled_) {
        const int got = receive(timeoutMs_);
        if (got <= 0)
            return got;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(length), filled_ - consumed_);
    std::memcpy(buffer, buffer_.data() + consumed_, n);
    consumed_ += n;
    return static_cast<int>(n);
}

int LibusbCommandPipe::write(const void* buffer, int length) {
    if (!isOpen() || length < 0)
        return -1;
    return bulkWrite(handle_, outAddress_, buffer, length, timeoutMs_);
}

void LibusbCommandPipe::drain() {
    consumed_ = filled_ = 0;
    for (int pass = 0; pass < drainPasses && receive(drainPassMs) > 0; ++pass) {
    }
    consumed_ = filled_ = 0;
}

void LibusbCommandPipe::abortIn() {
    consumed_ = filled_ = 0;
}

LibusbStreamPipe::LibusbStreamPipe(const Ref<Device>& parent, libusb_device_handle* handle,
                                   int timeoutMs, std::uint8_t inAddress, std::uint8_t outAddress)
    : Pipe(parent), handle_(handle), timeoutMs_(timeoutMs), outAddress_(outAddress),
      queue_(streamQueueLimit) {
    for (int i = 0; i < streamTransfers; ++i) {
        libusb_transfer* transfer = libusb_alloc_transfer(0);
        if (!transfer)
            break;
        buffers_.emplace_back(streamTransferBytes);
        libusb_fill_bulk_transfer(transfer, handle_, inAddress, buffers_.back().data(),
                                  streamTransferBytes, &LibusbStreamPipe::completed, this, 0);
        transfers_.push_back(transfer);
        if (libusb_submit_transfer(transfer) == LIBUSB_SUCCESS)
            ++inFlight_;
    }
    if (inFlight_ == 0)
        queue_.close();
    events_ = std::thread([this] { handleEvents(); });
}

LibusbStreamPipe::~LibusbStreamPipe() {
    closeIfOpen();
    abortIn();
    for (libusb_transfer* transfer : transfers_)
        libusb_free_transfer(transfer);
}

// Transfers in flight need their completions handled; parked ones may be resubmitted by read()
// at any time until the pipe stops.
bool LibusbStreamPipe::eventsNeeded() {
    std::lock_guard<std::mutex> lock(parkedLock_);
    return inFlight_ > 0 || (!parked_.empty() && !stopping_);
}

void LibusbStreamPipe::handleEvents() {
    timeval slice{0, 100 * 1000};
    while (eventsNeeded())
        libusb_handle_events_timeout_completed(libusbContext(), &slice, nullptr);
}

// Whether the queue can take a full buffer of every transfer, so that a push never meets the
// queue's limit and a block (which need not end on a frame boundary) is never refused.
bool LibusbStreamPipe::queueHasRoom() const {
    return queue_.queuedBytes() + transfers_.size() * streamTransferBytes <= queue_.limitBytes();
}

bool LibusbStreamPipe::resubmitOrPark(libusb_transfer* transfer) {
    if (!queueHasRoom()) {
        parked_.push_back(transfer);
        --inFlight_;
        return true;
    }
    return libusb_submit_transfer(transfer) == LIBUSB_SUCCESS;
}

// Runs on the event thread. A completed transfer hands its bytes on and goes straight back to
// the device. Every other end of a transfer that was not cancelled on purpose ends the stream,
// which read() then reports as a failure: a vanished device, a stalled or overflowing endpoint,
// a transfer the device no longer takes back. Left running on the remaining transfers, the
// stream would thin out and stop without a word.
void LibusbStreamPipe::completed(libusb_transfer* transfer) {
    auto* self = static_cast<LibusbStreamPipe*>(transfer->user_data);
    const bool delivered = transfer->status == LIBUSB_TRANSFER_COMPLETED;
    if (delivered && transfer->actual_length > 0)
        self->queue_.push(std::vector<std::uint8_t>(transfer->buffer,
                                                    transfer->buffer + transfer->actual_length));
    std::lock_guard<std::mutex> lock(self->parkedLock_);
    if (delivered && !self->stopping_ && self->resubmitOrPark(transfer))
        return;
    if (!self->stopping_)
        self->queue_.close();
    --self->inFlight_;
}

void LibusbStreamPipe::resubmitParked() {
    std::lock_guard<std::mutex> lock(parkedLock_);
    if (parked_.empty() || stopping_ || !queueHasRoom())
        return;
    for (libusb_transfer* transfer : parked_) {
        if (libusb_submit_transfer(transfer) == LIBUSB_SUCCESS)
            ++inFlight_;
        else
            queue_.close();
    }
    parked_.clear();
}

int LibusbStreamPipe::read(void* buffer, int length) {
    if (!isOpen())
        return -1;
    const int got = queue_.pop(buffer, length, std::chrono::milliseconds(timeoutMs_));
    resubmitParked();
    return got;
}

int LibusbStreamPipe::write(const void* buffer, int length) {
    if (!isOpen() || length < 0)
        return -1;
    return bulkWrite(handle_, outAddress_, buffer, length, timeoutMs_);
}

// Transfers kept back go out again first, so that what the box still holds arrives during the
// drain instead of at the start of the next recording.
void LibusbStreamPipe::drain() {
    queue_.discard();
    resubmitParked();
    queue_.drain(drainPasses, std::chrono::milliseconds(drainPassMs));
}

// Cancels every transfer and waits until the event thread has seen them all complete.
void LibusbStreamPipe::abortIn() {
    if (!events_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(parkedLock_);
        stopping_ = true;
    }
    for (libusb_transfer* transfer : transfers_)
        libusb_cancel_transfer(transfer);
    events_.join();
    queue_.close();
}

} // namespace USB
} // namespace KLib
