#pragma once

#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "config/ConfigFile.h"
#include "graph/WXInstrumentPanel.h"

#include <gtest/gtest.h>
#include <wx/statusbr.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Every test gets its own user directory; the configuration file starts absent.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        char pattern[] = "/tmp/orva-gui-XXXXXX";
        home_ = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
        configFile_ = home_ + "/config/orva2usb/orva.cfg";
    }
    ~WindowFixture() override {
        if (frame_)
            closeWindow();
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(home_);
    }

    // A configuration file that is there before the program starts.
    void writeConfiguration(Config config) {
        std::filesystem::create_directories(home_ + "/config/orva2usb");
        ASSERT_TRUE(saveConfig(config, configFile_));
    }
    void openWindow() {
        frame_ = new MainFrame;
        ASSERT_TRUE(frame_->startUp());
        frame_->Show();
        pump(std::chrono::milliseconds(100));
    }
    void closeWindow() {
        frame_->Close(true);
        frame_ = nullptr;
        pump(std::chrono::milliseconds(50));
    }
    std::string status() const { return frame_->GetStatusBar()->GetStatusText(0).ToStdString(); }
    WXInstrumentPanel& panel() const { return *frame_->panel(); }

    std::string home_;
    std::string configFile_;
    MainFrame* frame_ = nullptr;
};
