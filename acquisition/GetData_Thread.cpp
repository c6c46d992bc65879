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

void GetData_Thread::releaseTransferBuffer() {
    handover_.release();
    wake();
}

void GetData_Thread::pass() {
    if (!waitUntil([this] { return handover_.ready(); }))
        return;
    if (handover_.fill(ring_)) {
        deliveries_.fetch_add(1, std::memory_order_release);
        if (dataArrived_)
            dataArrived_();
    }
}
