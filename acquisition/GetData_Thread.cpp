#include "acquisition/GetData_Thread.h"

#include <utility>

GetData_Thread::GetData_Thread(FrameRing& ring, std::function<void()> dataArrived)
    : ring_(ring), handover_(ring.capacity()), dataArrived_(std::move(dataArrived)) {}

GetData_Thread::~GetData_Thread() {
    stop();
}

void GetData_Thread::requestData() {
    handover_.requestData();
    wake();
}

void GetData_Thread::decodeNextPiece() {
    pieceWanted_.store(true, std::memory_order_release);
    wake();
}

void GetData_Thread::releaseTransferBuffer() {
    decoding_.finish();
    handover_.release();
    wake();
}

void GetData_Thread::pass() {
    if (!waitUntil(
            [this] { return handover_.ready() || pieceWanted_.load(std::memory_order_acquire); }))
        return;
    if (pieceWanted_.exchange(false, std::memory_order_acq_rel)) {
        decoding_.decodeNext();
        announce();
        return;
    }
    if (handover_.fill(ring_)) {
        decoding_.begin(handover_.bytes(), handover_.deliveredBytes(), handover_.droppedBehind(),
                        handover_.deliveryIsCurrent());
        announce();
    }
}

void GetData_Thread::announce() {
    deliveries_.fetch_add(1, std::memory_order_release);
    if (dataArrived_)
        dataArrived_();
}
