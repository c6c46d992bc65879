#pragma once

#include <memory>
#include <string>

class wxGenericProgressDialog;
class wxWindow;

// The progress of long file operations in a progress dialog over the main window. The dialog
// is modal to the application, so no command runs in between, and every update lets the
// toolkit handle pending window events, so the windows stay drawn.
class WXProgressDisplay {
public:
    explicit WXProgressDisplay(wxWindow* parent);
    ~WXProgressDisplay();

    // Opens the dialog at the first report of a task; fraction 0...1.
    void show(const std::string& title, double fraction);
    void end();

private:
    wxWindow* parent_;
    std::unique_ptr<wxGenericProgressDialog> dialog_;
    std::string title_;
    int percent_ = -1;
};
