#pragma once

#include <wx/dialog.h>
#include <wx/event.h>
#include <wx/testing.h>
#include <wx/window.h>

#include <chrono>
#include <functional>
#include <string>

// Lets the toolkit run for the given time: events, timers, queued data events.
void pump(std::chrono::milliseconds duration);
// Lets the toolkit run until the condition holds or the time is up; whether it holds.
bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);
// Clicks a button or tool of the window by its id.
void click(wxWindow* window, int id, wxEventType type = wxEVT_BUTTON);
// The root window of the X display as a PNG file, for looking at the program.
void screenshot(const std::string& path);
// Runs `answer` on the next modal dialog once it is showing; `answer` must end the dialog, for
// instance with pressButton. The dialog's own event loop runs meanwhile, as for a user.
void whenDialogShows(std::function<void(wxDialog&)> answer);
// Presses the button with this id inside the window, as a click does.
void pressButton(wxWindow& window, int id);
// Selects an item of the choice with this id and reports the change, as the user's pick does.
void pickChoice(wxWindow& window, int id, int item);
// Replaces the text of the text control with this id.
void setText(wxWindow& window, int id, const wxString& text);
// Presses the left button at one point, drags to another and releases it there.
void drag(wxWindow& window, wxPoint from, wxPoint to);

// For wxTEST_DIALOG: the next modal dialog of type T is not shown; `answer` looks at it and
// returns what its ShowModal returns.
template <typename T> class DialogAnswer : public wxExpectModalBase<T, DialogAnswer<T>> {
public:
    explicit DialogAnswer(std::function<int(T&)> answer) : answer_(std::move(answer)) {}

protected:
    int OnInvoked(T* dialog) const override { return answer_(*dialog); }

private:
    std::function<int(T&)> answer_;
};
