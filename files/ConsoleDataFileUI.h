#pragma once

#include "files/DataFileUI.h"

#include <cstdio>

// Data files saved without a window, by the command-line tools: messages go to standard error,
// every question is answered Yes, no progress is shown and no configuration is saved beside.
class ConsoleDataFileUI : public DataFileUI {
public:
    void showStatus(const std::string&) override {}
    void showMessage(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    bool saveConfigFile(const std::string&) override { return false; }
    void showProgress(const std::string&, double) override {}
    void endProgress() override {}
};
