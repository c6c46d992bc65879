#include "BoxTestSupport.h"

#include "boxsim/BoxModel.h"

#include <gtest/gtest.h>

using namespace boxsim;
using boxtest::send;
using Lines = std::vector<std::string>;

TEST(BoxCommandsTest, IdentifiesItselfAndReportsItsInputs) {
    BoxModel box;
    EXPECT_EQ(send(box, "*IDN?\n"), "TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0\n");
    EXPECT_EQ(send(box, "KELLMAR:CAP?\n"), "sin2sq1ssi1ana1sf64\n");

    BoxConfig config;
    config.serial = "4711";
    config.inputs = *parseInputCounts("ana2sin1");
    config.systemFrequencyHz = 48000000;
    BoxModel other(config);
    EXPECT_EQ(send(other, "*IDN?\nKELLMAR:CAP?\n"),
              "TorvenKellmar,ORVA 2 USB,4711,V2.0\nsin1sq0ssi0ana2sf48\n");
    EXPECT_EQ(other.inputKind(1), InputKind::SinCos);
    EXPECT_EQ(other.inputKind(3), InputKind::Analog);
    EXPECT_FALSE(other.inputKind(4));
}

TEST(BoxCommandsTest, InputSpecificationsAreCheckedLikeAHardwareOrder) {
    const std::optional<InputCounts> mixed = parseInputCounts("sin2sq1ssi1ana1");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->slots(), 22);
    EXPECT_TRUE(parseInputCounts("ssi5"));      // exactly 40 slots
    EXPECT_FALSE(parseInputCounts("ssi5ana1")); // 41 slots
    EXPECT_FALSE(parseInputCounts("sin0"));
    EXPECT_FALSE(parseInputCounts("sin1sin1"));
    EXPECT_FALSE(parseInputCounts("sinx"));
    EXPECT_FALSE(parseInputCounts("cos1"));
    EXPECT_FALSE(parseInputCounts(""));
}

TEST(BoxCommandsTest, CommandsMayBeSplitOrJoinedAndAreAllRecorded) {
    BoxModel box;
    EXPECT_EQ(send(box, "*ID"), "");
    EXPECT_EQ(send(box, "N?\nKELLMAR:C"), "TorvenKellmar,ORVA 2 USB,SIM-sim1,V2.0\n");
    EXPECT_EQ(send(box, "AP?\nIN:1:FILTER 3\nTRIGGER:RUN  0\nOUT:USB:FREQ -2147483648\n"),
              "sin2sq1ssi1ana1sf64\n");
    EXPECT_EQ(box.transcript(), (Lines{"*IDN?", "KELLMAR:CAP?", "IN:1:FILTER 3", "TRIGGER:RUN  0",
                                       "OUT:USB:FREQ -2147483648"}));
    EXPECT_TRUE(box.rejectedCommands().empty());
    EXPECT_EQ(box.setting("IN:1:FILTER"), 3);
    EXPECT_EQ(box.setting("TRIGGER:RUN"), 0);
    EXPECT_EQ(box.setting("OUT:USB:FREQ"), INT32_MIN);
    EXPECT_FALSE(box.setting("IN:2:FILTER"));

    Lines observed;
    box.setCommandObserver([&](const std::string& line, bool understood) {
        observed.push_back(line + (understood ? "" : " ?"));
    });
    send(box, "IN:2:FILTER 9\nIN:2:FILTER 7\n");
    EXPECT_EQ(observed, (Lines{"IN:2:FILTER 9 ?", "IN:2:FILTER 7"}));
}

TEST(BoxCommandsTest, UnderstandsTheWholeConfigurationOfTheProgram) {
    BoxModel box; // inputs 1, 2 SinCos; 3 HTL/TTL; 4 SSI; 5 Analog
    std::string lines = "OUT:USB:FREQ 42949672\nOUT:USB:FREQ 42949672\n";
    for (const char* sinCos : {"IN:1", "IN:2"}) {
        for (const char* setting : {":THRESHOLD 128", ":FILTER 7", ":FILTERA 7", ":FILTERB 0"}) {
            lines += std::string(sinCos) + setting + "\n";
        }
    }
    lines += "IN:3:FILTER 0\nIN:4:FREQUENCY 200\nIN:4:MONOFLOP 30\nIN:4:CABLELENGTH 0\n"
             "IN:4:WORDS 2\n";
    for (int k = 0; k < 8; ++k) {
        lines += "IN:4:WORD" + std::to_string(k) + "BITS " + (k < 2 ? "16" : "0") + "\n";
    }
    lines += "IN:4:GRAY 0\nIN:4:SIGN 2\nIN:4:ZEROWORDS 1\nIN:5:FILTER 2\nTRIGGER:RUN  0\n"
             "IN:1:SELECT 31\nIN:2:SELECT 0\nIN:3:SELECT 7\nIN:4:SELECT 255\nIN:5:SELECT 1\n"
             "TRIGGER:RUN 1\nTRIGGER:RUN 0\nTRIGGER:RUN 1\nACTION:MZERO 31\nACTION:RZERO 1\n";
    EXPECT_EQ(send(box, lines), "");
    EXPECT_TRUE(box.rejectedCommands().empty()) << box.rejectedCommands().front();
    EXPECT_EQ(box.transcript().size(), 38u);
    EXPECT_EQ(box.setting("IN:4:WORD1BITS"), 16);
    EXPECT_EQ(box.setting("IN:4:SIGN"), 2);
    EXPECT_TRUE(box.running());
}

TEST(BoxCommandsTest, RefusesWhatItsInputsCannotDo) {
    BoxModel box;
    const Lines refused{
        "IN:4:THRESHOLD 128", // SSI input has no zero-pulse threshold
        "IN:1:WORDS 2",       // SinCos input has no SSI words
        "IN:6:FILTER 1",      // there is no input 6
        "IN:0:FILTER 1",
        "IN:1:FILTER 8",  // eight filter settings, 0 ... 7
        "IN:3:SELECT 16", // HTL/TTL input selects with four bits
        "IN:4:WORD8BITS 4",
        "IN:4:WORD0BITS 33",
        "TRIGGER:RUN 2",
        "ACTION:MZERO 32", // five inputs
        "OUT:USB:FREQ 4294967295",
        "OUT:USB:FREQ",
        "out:usb:freq 1",
        "IN:1:FILTER 1x",
        "*IDN? 1",
        "SYSTEM:RESET",
    };
    std::string lines;
    for (const std::string& line : refused) {
        lines += line + "\n";
    }
    EXPECT_EQ(send(box, lines), "");
    EXPECT_EQ(box.rejectedCommands(), refused);
    EXPECT_EQ(box.transcript(), refused);
    EXPECT_FALSE(box.setting("IN:1:FILTER"));
    EXPECT_FALSE(box.setting("OUT:USB:FREQ"));
    EXPECT_FALSE(box.running());
}

TEST(BoxCommandsTest, FrequencyValueSetsTheFrameRate) {
    EXPECT_DOUBLE_EQ(frameRateFor(INT32_MIN, 64000000), 500000.0);
    EXPECT_NEAR(frameRateFor(42949672, 64000000), 10000.0, 0.001);
    EXPECT_DOUBLE_EQ(frameRateFor(boxtest::kExactRateValue, 64000000), boxtest::kExactRate);
    EXPECT_DOUBLE_EQ(frameRateFor(INT32_MIN, 48000000), 375000.0); // the clock is F / 64
    EXPECT_NEAR(frameRateFor(-1, 64000000), 1000000.0, 0.001);     // read as unsigned
    EXPECT_EQ(frameRateFor(0, 64000000), 0.0);

    BoxModel box;
    EXPECT_EQ(box.frameRate(), 0.0); // silent until configured
    send(box, "OUT:USB:FREQ -2147483648\n");
    EXPECT_DOUBLE_EQ(box.frameRate(), 500000.0);
}

TEST(BoxCommandsTest, SelectMasksDecideTheFrameLayout) {
    BoxModel box; // slots: SinCos 0-4 and 5-9, HTL/TTL 10-12, SSI 13-20, Analog 21
    EXPECT_EQ(box.layout().frameSize, 3);
    send(box, "IN:1:SELECT 17\nIN:3:SELECT 4\n"); // position and R; the A/B/R byte
    EXPECT_EQ(box.layout().frameSize, 3 + 4 + 1 + 1);

    send(box, "IN:5:SELECT 0\nIN:4:SELECT 129\nIN:2:SELECT 12\n");
    std::vector<int> slots;
    std::vector<int> sizes;
    for (const FrameLayout::Slot& slot : box.layout().slots) {
        slots.push_back(slot.slot);
        sizes.push_back(slot.size);
    }
    EXPECT_EQ(slots, (std::vector<int>{0, 4, 7, 8, 12, 13, 20}));
    EXPECT_EQ(sizes, (std::vector<int>{4, 1, 2, 2, 1, 4, 4}));
    EXPECT_EQ(box.layout().frameSize, 3 + 18);

    // The host asks for the HTL/TTL level byte with bit 2 or bit 3, as its selection walk
    // gives the second and third level signal the bit after the first one's.
    send(box, "IN:3:SELECT 8\n");
    EXPECT_EQ(box.layout().frameSize, 3 + 18);
    send(box, "IN:3:SELECT 12\n");
    EXPECT_EQ(box.layout().frameSize, 3 + 18);

    send(box, "IN:5:SELECT 1\nIN:1:SELECT 0\n");
    EXPECT_EQ(box.layout().slots.back().slot, 21);
    EXPECT_EQ(box.layout().frameSize, 3 + 2 + 2 + 1 + 4 + 4 + 2);
}

TEST(BoxCommandsTest, DescriptorsDescribeTheBox) {
    BoxModel box;
    const auto request = [&](uint8_t type, uint8_t index, uint16_t length) {
        return box.controlRequest(
            {0x80, 6, index, type, 0, 0, uint8_t(length & 0xFF), uint8_t(length >> 8)});
    };
    const std::string device = request(1, 0, 18);
    ASSERT_EQ(device.size(), 18u);
    EXPECT_EQ(device[0], 18);
    EXPECT_EQ(device[1], 1);
    EXPECT_EQ(boxtest::readLE(device, 8, 2), 0x04B4u);
    EXPECT_EQ(device.substr(14, 3), std::string("\x01\x02\x03", 3));
    EXPECT_EQ(request(1, 0, 8), device.substr(0, 8));

    EXPECT_EQ(request(3, 0, 255), std::string("\x04\x03\x09\x04", 4));
    const auto text = [](const std::string& descriptor) {
        std::string low; // the program reads the low byte of each UTF-16 unit
        for (size_t i = 2; i + 1 < descriptor.size(); i += 2) {
            low.push_back(descriptor[i]);
        }
        return low;
    };
    EXPECT_EQ(text(request(3, 1, 255)), "TorvenKellmar");
    EXPECT_EQ(text(request(3, 2, 255)), "ORVA 2 USB");
    EXPECT_EQ(text(request(3, 3, 255)), "SIM-sim1");
    EXPECT_EQ(request(3, 2, 255)[0], 2 + 2 * 10);
    EXPECT_EQ(request(3, 9, 255), "");
    EXPECT_EQ(request(2, 0, 255).size(), 9u + 9u + 4u * 7u);
    EXPECT_EQ(box.controlRequest({0x82, 6, 0, 1, 0, 0, 7, 0}), ""); // not a device request
}
