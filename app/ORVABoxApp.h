#pragma once

#include <wx/app.h>
#include <wx/intl.h>

#include <memory>

class MainFrame;

// The application object: starts the log, the image handlers and the user's locale, then the
// one main window.
class ORVABoxApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
    // Ends the program with exit status 1 after the user was told that the box is not one this
    // program can drive.
    void endForIncompatibleBox();

private:
    std::unique_ptr<wxLocale> locale_;
};

wxDECLARE_APP(ORVABoxApp);

// Runs the program; its exit status.
int runApplication(int argc, char** argv);
