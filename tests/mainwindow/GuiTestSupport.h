#pragma once

#include <wx/event.h>
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
