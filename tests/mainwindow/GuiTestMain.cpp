// The GUI tests drive the real main window inside a running toolkit; they run under Xvfb.

#include "GuiTestSupport.h"
#include "app/ORVABoxApp.h"

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/image.h>

#include <cstdlib>
#include <thread>

namespace {

// A toolkit assertion (an unexpected modal dialog, for instance) fails the running test
// instead of opening a dialog nobody answers.
void failOnAssert(const wxString& file, int line, const wxString& function, const wxString& cond,
                  const wxString& message) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << function.utf8_str().data() << ": " << cond.utf8_str().data() << " "
        << message.utf8_str().data();
}

} // namespace

void pump(std::chrono::milliseconds duration) {
    pumpUntil([] { return false; }, duration);
}

bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void click(wxWindow* window, int id, wxEventType type) {
    wxCommandEvent event(type, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

void drag(wxWindow& window, wxPoint from, wxPoint to) {
    auto send = [&window](wxEventType type, wxPoint at, bool down) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetLeftDown(down);
        event.SetEventObject(&window);
        window.GetEventHandler()->ProcessEvent(event);
    };
    send(wxEVT_LEFT_DOWN, from, true);
    send(wxEVT_MOTION, (from + to) / 2, true);
    send(wxEVT_MOTION, to, true);
    send(wxEVT_LEFT_UP, to, false);
}

void screenshot(const std::string& path) {
    const std::string command = "import -window root '" + path + "'";
    if (std::system(command.c_str()) != 0)
        ADD_FAILURE() << "no screenshot: " << command;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new ORVABoxApp);
    if (!wxEntryStart(argc, argv))
        return 2;
    wxInitAllImageHandlers();
    wxSetAssertHandler(failOnAssert);
    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}
