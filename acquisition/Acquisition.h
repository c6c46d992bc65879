#pragma once

#include "acquisition/FrameRing.h"
#include "acquisition/GetData_Thread.h"
#include "acquisition/USB_Thread.h"

#include <cstdint>
#include <functional>

// The sample stream of the main window: the ring, the reader thread and the hand-over thread,
// both running from construction to destruction.
class Acquisition {
public:
    // dataArrived is called on the hand-over thread after every delivery.
    explicit Acquisition(std::function<void()> dataArrived,
                         int ringCapacity = FrameRing::defaultCapacity);
    ~Acquisition(); // stops and joins both threads
    Acquisition(const Acquisition&) = delete;
    Acquisition& operator=(const Acquisition&) = delete;

    // False when a thread could not be started.
    bool running() const { return running_; }

    void setRecordingMode(int mode) { reader_.setRecordingMode(mode); }
    int recordingMode() const { return reader_.recordingMode(); }
    void setFrameSize(int bytes) { reader_.setFrameSize(bytes); }
    int frameSize() const { return reader_.frameSize(); }
    // See USB_Thread::setDataPipe: set nullptr before the pipe is closed or released.
    void setDataPipe(KLib::IODevice* pipe) { reader_.setDataPipe(pipe); }

    // The data tick and the delivery; see GetData_Thread and DeliveryDecoder.
    void requestData() { handOver_.requestData(); }
    bool dataWanted() const { return handOver_.dataWanted(); }
    const std::uint8_t* transferBuffer() const { return handOver_.transferBuffer(); }
    int deliveredBytes() const { return handOver_.deliveredBytes(); }
    // Frames the ring dropped right after the delivered ones.
    std::int64_t droppedBehind() const { return handOver_.droppedBehind(); }
    void decodeNextPiece() { handOver_.decodeNextPiece(); }
    void releaseTransferBuffer() { handOver_.releaseTransferBuffer(); }
    DeliveryDecoder& decoding() { return handOver_.decoding(); }
    const DeliveryDecoder& decoding() const { return handOver_.decoding(); }
    // A recording begins: what the ring holds and any delivery not yet read belong to the one
    // before, and are not decoded into this one.
    void beginRecording() {
        ring_.clear();
        handOver_.beginRecording();
    }
    // Whether the delivery being read was made for the recording that runs now.
    bool deliveryIsCurrent() const { return handOver_.deliveryIsCurrent(); }

    // The data pipe failed during a recording: the box is gone.
    bool dataPipeFailed() const { return reader_.pipeFailed(); }

    // Frames the ring had to drop because the user-interface thread fell behind.
    std::int64_t droppedFrames() const { return ring_.droppedFrames(); }

private:
    FrameRing ring_;
    USB_Thread reader_;
    GetData_Thread handOver_;
    bool running_ = false;
};
