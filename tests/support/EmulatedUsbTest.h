#pragma once

#include "EmulatedUsbBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A test against the box on the emulated USB bus: skipped without umockdev's preload library,
// it runs with a fresh model behind the box and an empty runtime directory of its own, so that
// no simulated socket box is found beside it.
class EmulatedUsbTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!EmulatedUsbBox::preloadActive())
            GTEST_SKIP() << "umockdev's preload library is not active (run under umockdev-wrapper)";
        char pattern[] = "/tmp/orva-usb-test-XXXXXX";
        runtime_ = mkdtemp(pattern);
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        EmulatedUsbBox::instance().reset(boxsim::BoxConfig());
    }
    void TearDown() override {
        if (runtime_.empty())
            return;
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(runtime_);
    }

    std::string runtime_;
};
