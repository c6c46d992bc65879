#pragma once

#include "KLib/IO/USB/Device.h"
#include "KLib/IO/USB/SimTransport.h"

#include <memory>

namespace KLib {
namespace USB {

// A simulated box reached through its socket.
class SimDevice : public Device {
public:
    // Null when the socket cannot be reached or the box is held by another client.
    static Ref<Device> open(const std::string& socketPath);
    ~SimDevice() override;

    bool getDeviceDescriptor(DeviceDescriptor& out) override;
    std::string getStringDescriptor(int index) override;
    Ref<IODevice> openStandardPipe(int timeoutMs, int inEndpoint, int outEndpoint) override;

protected:
    void releaseHandle() override;

private:
    SimDevice(std::shared_ptr<SimConnection> connection, const std::string& socketPath);
    std::vector<std::uint8_t> getDescriptor(std::uint8_t type, std::uint8_t index,
                                            std::uint16_t length);

    std::shared_ptr<SimConnection> connection_;
};

} // namespace USB
} // namespace KLib
