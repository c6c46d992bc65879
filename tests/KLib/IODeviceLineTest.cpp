#include "KLib/IO/IODevice.h"

#include <gtest/gtest.h>

#include <string>

using namespace KLib;

namespace {

// A command pipe of a box that sends the same bytes over and over and never times out.
class RepeatingPipe : public IODevice {
public:
    explicit RepeatingPipe(std::string bytes) : bytes_(std::move(bytes)) {}
    int read(void* buffer, int length) override {
        if (length <= 0)
            return 0;
        static_cast<char*>(buffer)[0] = bytes_[next_++ % bytes_.size()];
        return 1;
    }
    int write(const void*, int length) override { return length; }
    void drain() override {}
    int close() override { return 0; }

private:
    std::string bytes_;
    std::size_t next_ = 0;
};

// Replies that never bring a line feed (the first found by fuzzing the identification reply,
// the second the capability reply) end the line at its length limit instead of growing it
// until memory runs out; the next line goes on with the bytes after the cut.
TEST(IODeviceLine, EndlessReplyWithoutLineFeedIsCut) {
    for (const std::string& babble : {std::string("TTorvenKellmar,ORVA or2ve"), std::string("*")}) {
        RepeatingPipe pipe(babble);
        const std::string first = pipe.readLine();
        ASSERT_EQ(first.size(), IODevice::maxLineLength);
        EXPECT_EQ(first.substr(0, babble.size()), babble);
        const std::string second = pipe.readLine();
        ASSERT_EQ(second.size(), IODevice::maxLineLength);
        EXPECT_EQ(second[0], babble[IODevice::maxLineLength % babble.size()]);
    }
}

TEST(IODeviceLine, LineFeedEndsTheLineAndCarriageReturnStays) {
    RepeatingPipe pipe("sin2sq1ssi1ana1sf64\r\n");
    EXPECT_EQ(pipe.readLine(), "sin2sq1ssi1ana1sf64\r");
    EXPECT_EQ(pipe.readLine(), "sin2sq1ssi1ana1sf64\r");
}

} // namespace
