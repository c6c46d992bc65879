#pragma once

#include "files/FileProgress.h"

#include <cstdio>
#include <ostream>

// The progress of a long completion of a file, as a line written over itself on a terminal.
class TerminalProgress : public FileProgress {
public:
    explicit TerminalProgress(std::ostream& out) : out_(out) {}

    void showProgress(const std::string& title, double fraction) override {
        char line[96];
        std::snprintf(line, sizeof line, "\r%s: %.0f %%   ", title.c_str(), 100.0 * fraction);
        out_ << line << std::flush;
    }
    void endProgress() override { out_ << '\n'; }

private:
    std::ostream& out_;
};
