#pragma once

#include "acquisition/DeliveryDecoder.h"
#include "acquisition/FrameRing.h"
#include "acquisition/Handover.h"
#include "acquisition/WorkerThread.h"

#include <cstdint>
#include <functional>

// The hand-over thread: each time the user-interface thread asks for data and has released the
// previous delivery, it empties the ring into the transfer buffer, decodes the first piece of it
// (see DeliveryDecoder) and calls dataArrived (on this thread; the window posts itself an event
// there). A delivery of 0 bytes is announced as well. When the user-interface thread asks for the
// next piece of a delivery, it decodes that and announces it the same way.
class GetData_Thread : public WorkerThread {
public:
    GetData_Thread(FrameRing& ring, std::function<void()> dataArrived);
    ~GetData_Thread() override; // stops the thread

    // User-interface thread: the data tick.
    void requestData();
    bool dataWanted() const { return handover_.dataWanted(); }
    // User-interface thread, after dataArrived: the delivered bytes, valid until released.
    const std::uint8_t* transferBuffer() const { return handover_.bytes(); }
    int deliveredBytes() const { return handover_.deliveredBytes(); }
    std::int64_t droppedBehind() const { return handover_.droppedBehind(); }
    // User-interface thread: the piece decoded last has been played; decode the next one.
    void decodeNextPiece();
    // User-interface thread: the delivery has been read; the next one may be filled.
    void releaseTransferBuffer();
    DeliveryDecoder& decoding() { return decoding_; }
    const DeliveryDecoder& decoding() const { return decoding_; }
    // User-interface thread: see Handover.
    void beginRecording() { handover_.beginRecording(); }
    bool deliveryIsCurrent() const { return handover_.deliveryIsCurrent(); }

    // Deliveries made so far.
    std::int64_t deliveries() const { return deliveries_.load(std::memory_order_acquire); }

private:
    void pass() override;
    void announce();

    FrameRing& ring_;
    Handover handover_;
    DeliveryDecoder decoding_;
    std::atomic<bool> pieceWanted_{false};
    std::function<void()> dataArrived_;
    std::atomic<std::int64_t> deliveries_{0};
};
