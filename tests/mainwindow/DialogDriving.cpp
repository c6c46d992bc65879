#include "GuiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <memory>

namespace {

wxDialog* modalDialog() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

template <typename Control> Control* control(wxWindow& window, int id) {
    auto* found = dynamic_cast<Control*>(window.FindWindow(id));
    EXPECT_NE(found, nullptr) << "no control " << id;
    return found;
}

} // namespace

void whenDialogShows(std::function<void(wxDialog&)> answer) {
    auto* timer = new wxTimer;
    // The dialog is answered once it has been showing for a few ticks, so that it is drawn.
    auto ticksShown = std::make_shared<int>(0);
    timer->Bind(wxEVT_TIMER, [timer, answer, ticksShown](wxTimerEvent&) {
        wxDialog* dialog = modalDialog();
        if (!dialog || ++*ticksShown < 10)
            return;
        timer->Stop();
        answer(*dialog);
        wxTheApp->CallAfter([timer] { delete timer; });
    });
    timer->Start(20);
}

void pressButton(wxWindow& window, int id) {
    if (auto* button = control<wxButton>(window, id)) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
}

void pickChoice(wxWindow& window, int id, int item) {
    if (auto* choice = control<wxChoice>(window, id)) {
        choice->SetSelection(item);
        wxCommandEvent event(wxEVT_CHOICE, id);
        event.SetEventObject(choice);
        event.SetInt(item);
        choice->GetEventHandler()->ProcessEvent(event);
    }
}

void setText(wxWindow& window, int id, const wxString& text) {
    if (auto* textControl = control<wxTextCtrl>(window, id))
        textControl->SetValue(text);
}
