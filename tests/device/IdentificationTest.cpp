#include "device/Identification.h"
#include "device/Capabilities.h"

#include <gtest/gtest.h>

namespace {

TEST(Identification, AcceptsTheBoxWhateverItsSerialNumber) {
    const Identification ok = checkIdentification("TorvenKellmar,ORVA 2 USB,SN 0042,V2.0");
    EXPECT_TRUE(ok.compatible);
    EXPECT_EQ(ok.hardwareVersion, "V2.0");
    EXPECT_TRUE(checkIdentification("TorvenKellmar,ORVA 2 USB,,V2.0").compatible);
}

TEST(Identification, RejectsOtherVendorsModelsAndVersions) {
    const Identification old = checkIdentification("TorvenKellmar,ORVA 2 USB,1,V1.9");
    EXPECT_FALSE(old.compatible);
    EXPECT_EQ(old.hardwareVersion, "V1.9");
    EXPECT_EQ(incompatibleBoxMessage(old.hardwareVersion),
              "Error: The ORVA_USB software version v1.3.5 is not compatible with ORVA2USB "
              "hardware (V1.9) which is currently connected.");

    // A wrong vendor or model fails before the version field is looked at.
    const Identification other = checkIdentification("Acme,ORVA 2 USB,1,V2.0");
    EXPECT_FALSE(other.compatible);
    EXPECT_EQ(other.hardwareVersion, "");
    EXPECT_FALSE(checkIdentification("torvenkellmar,ORVA 2 USB,1,V2.0").compatible);
    EXPECT_FALSE(checkIdentification("TorvenKellmar,ORVA 2 USB,1").compatible);
    EXPECT_FALSE(checkIdentification("TorvenKellmar,ORVA 2 USB,1,V2.0\r").compatible);
    EXPECT_FALSE(checkIdentification("").compatible);
}

TEST(Capabilities, ReadsNamesAndNumbersInAnyOrder) {
    const Capabilities caps = parseCapabilities("sin2sq1ssi1ana2sf64");
    EXPECT_EQ(caps.sineInputs, 2);
    EXPECT_EQ(caps.squareInputs, 1);
    EXPECT_EQ(caps.ssiInputs, 1);
    EXPECT_EQ(caps.analogInputs, 2);
    EXPECT_EQ(caps.systemFrequency, 64000000);

    const Capabilities zeros = parseCapabilities("sin2sq0ssi0ana1sf96");
    EXPECT_EQ(zeros.squareInputs, 0);
    EXPECT_EQ(zeros.analogInputs, 1);
    EXPECT_EQ(zeros.systemFrequency, 96000000);

    const Capabilities noClock = parseCapabilities("ana3xyz7sin1");
    EXPECT_EQ(noClock.analogInputs, 3);
    EXPECT_EQ(noClock.sineInputs, 1);
    EXPECT_EQ(noClock.systemFrequency, 64000000);
    EXPECT_EQ(parseCapabilities("sf48").systemFrequency, 48000000);
}

TEST(Capabilities, HostileRepliesStayBounded) {
    EXPECT_EQ(parseCapabilities("sin99999999999999999999").sineInputs, 40);
    EXPECT_GT(parseCapabilities("sf99999999999").systemFrequency, 0);
    EXPECT_FALSE(parseCapabilities("").reportsInputs());
    EXPECT_FALSE(parseCapabilities("garbage").reportsInputs());
}

TEST(Capabilities, ApplyingResizesInputsOrAssumesOneSinCos) {
    InputSettings inputs;
    inputs.sineInputs.resize(3);
    inputs.sineInputs[0].periods = 512.0;
    EXPECT_TRUE(applyCapabilities(inputs, parseCapabilities("sin1sq2ssi1ana0sf48")));
    EXPECT_EQ(inputs.sineInputs.size(), 1u);
    EXPECT_EQ(inputs.sineInputs[0].periods, 512.0);
    EXPECT_EQ(inputs.squareInputs.size(), 2u);
    EXPECT_EQ(inputs.ssiInputs.size(), 1u);
    EXPECT_TRUE(inputs.analogInputs.empty());
    EXPECT_EQ(inputs.systemFrequency, 48000000);

    EXPECT_FALSE(applyCapabilities(inputs, parseCapabilities("")));
    EXPECT_EQ(inputs.sineInputs.size(), 1u);
    EXPECT_TRUE(inputs.squareInputs.empty());
    EXPECT_TRUE(inputs.ssiInputs.empty());
    EXPECT_EQ(inputs.systemFrequency, 64000000);
}

} // namespace
