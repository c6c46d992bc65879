#include "KLib/IO/USB/Enumeration.h"
#include "KLib/IO/USB/LibusbDevice.h"

#include <gtest/gtest.h>

using namespace KLib::USB;

namespace {

// Build machines have no box on their USB bus; enumeration must cope with that and with a
// machine without USB support at all, and paths that name no box open nothing.
TEST(UsbEnumeration, PathsThatNameNoBoxOpenNothing) {
    for (const std::string& path : listUsbBoxes())
        EXPECT_EQ(path.rfind(usbPathPrefix, 0), 0u) << path;
    EXPECT_FALSE(openDevice("usb:250-9.9"));
    EXPECT_FALSE(openDevice("usb:"));
    EXPECT_FALSE(openDevice("sim:"));
    EXPECT_FALSE(openDevice("/dev/null"));
}

} // namespace
