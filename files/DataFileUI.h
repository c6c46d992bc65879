#pragma once

#include "files/FileProgress.h"

#include <string>

// The main window's side of saving data files: status bar, message boxes, the progress of large
// saves and its own configuration save (which shows its own status texts).
class DataFileUI : public FileProgress {
public:
    virtual void showStatus(const std::string& text) = 0;
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // True only when the user answered Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    virtual bool saveConfigFile(const std::string& path) = 0;
};
