#include "KLib/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    std::string message;
    int level;
    std::string file;
    int line;
    bool dispatching;
};

class RecordingChannel : public KLib::LogChannel {
public:
    RecordingChannel(std::vector<Entry>& entries, std::vector<std::string>& events,
                     std::string name)
        : entries_(entries), events_(events), name_(std::move(name)) {}
    ~RecordingChannel() override { events_.push_back(name_ + " deleted"); }

    void write(const std::string& message, int level, const std::string& file, int line) override {
        entries_.push_back({message, level, file, line, KLib::Log::isDispatching()});
        events_.push_back(name_ + " wrote");
    }
    void close() override { events_.push_back(name_ + " closed"); }

private:
    std::vector<Entry>& entries_;
    std::vector<std::string>& events_;
    std::string name_;
};

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { KLib::Log::shutdown(); }
};

TEST_F(LogTest, WriteWithoutRegistryDoesNothing) {
    std::vector<Entry> entries;
    std::vector<std::string> events;
    KLib::Ref<RecordingChannel> channel(new RecordingChannel(entries, events, "a"));
    KLib::Log::addChannel(channel); // dropped: no registry yet
    EXPECT_FALSE(KLib::Log::write("lost", 1, "KLib\\IO\\IODevice", 1));
    KLib::Log::init();
    KLib::Log::write("after init", 1, "f", 2);
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(KLib::Log::isInitialised());
}

TEST_F(LogTest, EveryChannelGetsEveryMessageInOrderAndShutdownClosesThenReleases) {
    std::vector<Entry> entries;
    std::vector<std::string> events;
    KLib::Log::init();
    KLib::Log::init(); // a second init keeps the channels
    KLib::Log::addChannel(KLib::Ref<RecordingChannel>(new RecordingChannel(entries, events, "a")));
    KLib::Log::addChannel(KLib::Ref<RecordingChannel>(new RecordingChannel(entries, events, "b")));
    KLib::Log::init();
    EXPECT_FALSE(KLib::Log::write("-> *IDN?", 1, "KLib\\IO\\IODevice", 46));
    EXPECT_FALSE(KLib::Log::isDispatching());

    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].message, "-> *IDN?");
    EXPECT_EQ(entries[0].level, 1);
    EXPECT_EQ(entries[0].file, "KLib\\IO\\IODevice");
    EXPECT_EQ(entries[0].line, 46);
    EXPECT_TRUE(entries[0].dispatching);

    KLib::Log::shutdown();
    EXPECT_FALSE(KLib::Log::isInitialised());
    const std::vector<std::string> expected = {"a wrote",  "b wrote",   "a closed",
                                               "b closed", "a deleted", "b deleted"};
    EXPECT_EQ(events, expected);
    KLib::Log::write("after shutdown", 1, "f", 3);
    EXPECT_EQ(entries.size(), 2u);
}

TEST_F(LogTest, DebugChannelWritesOneLinePerMessageToStandardError) {
    KLib::Log::init();
    KLib::Log::addChannel(KLib::Ref<KLib::LogChannel>(new KLib::LogDebugChannel));
    testing::internal::CaptureStderr();
    KLib::Log::write("-> *IDN?", 1, "KLib\\IO\\IODevice", 46);
    KLib::Log::write("", 1, "KLib\\IO\\IODevice", 47);
    KLib::Log::write("warning", 2, "KLib\\IO\\Win32\\CyUSBWrapper", 300);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "KLib\\IO\\IODevice(46) : -> *IDN?\n"
              "KLib\\IO\\Win32\\CyUSBWrapper(300) : warning\n");
}

} // namespace
