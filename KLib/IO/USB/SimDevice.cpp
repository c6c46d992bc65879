#include "KLib/IO/USB/SimDevice.h"

#include <chrono>
#include <cstring>

namespace KLib {
namespace USB {

namespace {

// Descriptor requests are answered at once by a box; this bounds a box that does not answer.
constexpr int controlTimeoutMs = 1000;

class SimPipe : public Pipe {
public:
    SimPipe(const Ref<Device>& parent, std::shared_ptr<SimConnection> connection, int timeoutMs,
            std::uint8_t inAddress, std::uint8_t outAddress)
        : Pipe(parent), connection_(std::move(connection)), timeoutMs_(timeoutMs),
          inAddress_(inAddress), outAddress_(outAddress) {}
    ~SimPipe() override { closeIfOpen(); }

    // Waits up to the pipe's time-out for the first byte, then hands out whatever has arrived.
    int read(void* buffer, int length) override {
        if (!isOpen())
            return -1;
        return connection_->queue(inAddress_)
            .pop(buffer, length, std::chrono::milliseconds(timeoutMs_));
    }

    int write(const void* buffer, int length) override {
        if (!isOpen() || length < 0)
            return -1;
        return connection_->send(outAddress_, buffer, static_cast<std::size_t>(length), timeoutMs_)
                   ? length
                   : -1;
    }

    // Throws away what is queued, then waits briefly for bytes still on their way; ends at the
    // first quiet pass.
    void drain() override {
        connection_->queue(inAddress_).drain(drainPasses, std::chrono::milliseconds(drainPassMs));
    }

protected:
    // Bytes already received stay queued; nothing is in flight on a socket.
    void abortIn() override {}

private:
    std::shared_ptr<SimConnection> connection_;
    int timeoutMs_;
    std::uint8_t inAddress_;
    std::uint8_t outAddress_;
};

} // namespace

Ref<Device> SimDevice::open(const std::string& socketPath) {
    std::shared_ptr<SimConnection> connection = SimConnection::open(socketPath);
    if (!connection)
        return Ref<Device>();
    return Ref<Device>(new SimDevice(std::move(connection), socketPath));
}

SimDevice::SimDevice(std::shared_ptr<SimConnection> connection, const std::string& socketPath)
    : Device(simPathPrefix + socketPath), connection_(std::move(connection)) {}

SimDevice::~SimDevice() {
    closeIfOpen();
}

void SimDevice::releaseHandle() {
    connection_.reset();
}

std::vector<std::uint8_t> SimDevice::getDescriptor(std::uint8_t type, std::uint8_t index,
                                                   std::uint16_t length) {
    if (!isOpen() || !connection_)
        return {};
    // GET_DESCRIPTOR, device-to-host standard request.
    const std::uint8_t setup[8] = {0x80,
                                   6,
                                   index,
                                   type,
                                   0,
                                   0,
                                   static_cast<std::uint8_t>(length),
                                   static_cast<std::uint8_t>(length >> 8)};
    return connection_->controlRequest(setup, controlTimeoutMs);
}

bool SimDevice::getDeviceDescriptor(DeviceDescriptor& out) {
    return unpackDeviceDescriptor(getDescriptor(1, 0, 18), out);
}

std::string SimDevice::getStringDescriptor(int index) {
    return textOfStringDescriptor(getDescriptor(3, static_cast<std::uint8_t>(index), 255));
}

Ref<IODevice> SimDevice::openStandardPipe(int timeoutMs, int inEndpoint, int outEndpoint) {
    if (!isOpen() || !connection_)
        return Ref<IODevice>();
    return Ref<IODevice>(new SimPipe(Ref<Device>(this), connection_, timeoutMs,
                                     static_cast<std::uint8_t>(inEndpoint | 0x80),
                                     static_cast<std::uint8_t>(outEndpoint & 0x7F)));
}

} // namespace USB
} // namespace KLib
