// The reply to "*IDN?" as the connect sequence reads it: one line from the command pipe of a
// box that may keep sending the same bytes for ever, then the identification check.

#include "device/Identification.h"
#include "fuzz/Check.h"
#include "fuzz/ReplayPipe.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReplayPipe pipe(true);
    pipe.add(data, size);
    const std::string reply = pipe.readLine();
    require(reply.find('\n') == std::string::npos);

    const Identification identity = checkIdentification(reply);
    require(!identity.compatible || identity.hardwareVersion == "V2.0");
    if (!identity.compatible)
        require(incompatibleBoxMessage(identity.hardwareVersion).find(identity.hardwareVersion) !=
                std::string::npos);
    return 0;
}
