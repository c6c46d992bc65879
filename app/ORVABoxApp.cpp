#include "app/ORVABoxApp.h"

#include "KLib/Log.h"
#include "app/MainFrame.h"

#include <wx/image.h>

#include <csignal>

wxIMPLEMENT_APP_NO_MAIN(ORVABoxApp);

namespace {
// Set when the connected box is not one this program can drive; the program then ends with
// exit status 1 once the user has read the message.
bool incompatibleBox = false;
} // namespace

bool ORVABoxApp::OnInit() {
    KLib::Log::init();
    KLib::Log::addChannel(KLib::Ref<KLib::LogChannel>(new KLib::LogDebugChannel));
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxICOHandler);
    // The user's language also sets the process locale, so printed numbers use the user's
    // decimal mark.
    locale_ = std::make_unique<wxLocale>(wxLANGUAGE_DEFAULT);
    // A log file grown past the file-size limit fails its write like a full disk, so that the
    // log ends with a message and a readable file instead of the program ending.
    std::signal(SIGXFSZ, SIG_IGN);

    MainFrame* frame = new MainFrame;
    if (!frame->startUp()) {
        incompatibleBox = true;
        frame->Destroy();
        KLib::Log::shutdown();
        return false;
    }
    frame->Show();
    return true;
}

int ORVABoxApp::OnExit() {
    KLib::Log::shutdown();
    return wxApp::OnExit();
}

void ORVABoxApp::endForIncompatibleBox() {
    incompatibleBox = true;
    ExitMainLoop();
}

int runApplication(int argc, char** argv) {
    const int status = wxEntry(argc, argv);
    return incompatibleBox ? 1 : status;
}
