#include "acquisition/Acquisition.h"

#include <utility>

Acquisition::Acquisition(std::function<void()> dataArrived, int ringCapacity)
    : ring_(ringCapacity), reader_(ring_), handOver_(ring_, std::move(dataArrived)) {
    const bool readerStarted = reader_.start();
    const bool handOverStarted = handOver_.start();
    running_ = readerStarted && handOverStarted;
}

Acquisition::~Acquisition() {
    reader_.stop();
    handOver_.stop();
}
