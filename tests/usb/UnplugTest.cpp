#include "../control/ControllerTestSupport.h"
#include "BoxReports.h"
#include "EmulatedUsbTest.h"
#include "KLib/IO/USB/BoxWatcher.h"
#include "KLib/IO/USB/LibusbDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The path the program gives the emulated box: bus 1, port 1.
const std::string boxPath = "usb:1-1";

// Ends the test program when a test runs past its limit: a hang in the code under test must
// fail the test, not block it.
class Deadline {
public:
    explicit Deadline(std::chrono::seconds limit)
        : watchdog_([this, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!ended_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "hung: still running after %lld s\n",
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          }) {}
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        watchdog_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread watchdog_;
};

// libusb takes a plugged-in box into its list on its own thread; true once it is there.
bool boxListed() {
    for (auto until = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(10ms))
        if (!KLib::USB::listUsbBoxes().empty())
            return true;
    return false;
}

using UnplugTest = EmulatedUsbTest;

// Pulled out during a log recording, the box's transfers end with "no device": the recording
// stops within a second of data ticks and says why, without hanging in the stop or the
// disconnect. Plugged in again, it connects and streams.
TEST_F(UnplugTest, PulledOutDuringARecordingTheRecordingEndsAndTheBoxConnectsAgain) {
    Deadline deadline(30s);
    FakeUI ui;
    FakeBoard board(1 << 30);
    MainController controller(ui, board, runtime_ + "/orva.cfg");
    controller.link().setCommandPause(0ms);
    ASSERT_TRUE(controller.startUp());
    ASSERT_TRUE(controller.isConnected());
    controller.startRecording(Log);
    ASSERT_EQ(controller.recordingMode(), Log);
    for (int tick = 0; tick < 3; ++tick) {
        ui.tick(controller);
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_GT(board.graphs.at(0).written, 0);

    EmulatedUsbBox::instance().unplug();
    int ticks = 0;
    for (; controller.recordingMode() != Idle && ticks < 30; ++ticks) {
        ui.tick(controller);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_LE(ticks, 10);
    EXPECT_EQ(ui.statuses.back(), "Connection to ORVA Box lost!");
    EXPECT_FALSE(controller.isConnected());

    EmulatedUsbBox::instance().plugIn(boxsim::BoxConfig());
    ASSERT_TRUE(boxListed());
    ASSERT_TRUE(controller.connectBox());
    board.graphs.at(0).written = 0;
    controller.startRecording(Continuous);
    for (int tick = 0; tick < 3; ++tick) {
        ui.tick(controller);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_GT(board.graphs.at(0).written, 0);
    controller.stopRecording();
}

// libusb's hot-plug events reach the watcher: the box pulled out leaves under its path, and
// plugged in again arrives.
TEST_F(UnplugTest, TheWatcherReportsTheBoxLeavingAndArriving) {
    Deadline deadline(30s);
    BoxReports reports;
    KLib::USB::BoxWatcher watcher(reports.events());
    EmulatedUsbBox::instance().unplug();
    EXPECT_EQ(reports.waitForLeft(1), std::vector<std::string>{boxPath});
    EmulatedUsbBox::instance().plugIn(boxsim::BoxConfig());
    EXPECT_TRUE(reports.waitForArrivals(1));
}

} // namespace
