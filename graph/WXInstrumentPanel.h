#pragma once

#include "KLib/Ref.h"
#include "graph/WXInstrumentServer.h"

#include <wx/timer.h>
#include <wx/window.h>

struct Config;

// The graph panel: a window holding the instrument server, which draws every graph in it.
class WXInstrumentPanel : public wxWindow {
public:
    // Timer id of the live value texts.
    static constexpr int valueTimerId = 20000;

    // The configuration is read for lockGraphs; it must outlive the panel.
    WXInstrumentPanel(wxWindow* parent, const Config& config);

    WXInstrumentServer& server() { return *server_; }

    // Every mouse event of the panel, in panel coordinates. The main window passes those that
    // reach it instead (wheel turns) after subtracting the panel's position.
    void handleMouse(wxMouseEvent& event);

    // The value texts are refreshed every `milliseconds` while the timer runs.
    void startValueTimer(unsigned milliseconds);
    void stopValueTimer();
    bool valueTimerRunning() const { return valueTimer_.IsRunning(); }

private:
    void onSize(wxSizeEvent& event);
    void onPaint(wxPaintEvent& event);
    void onValueTimer(wxTimerEvent& event);

    const Config& config_;
    KLib::Ref<WXInstrumentServer> server_;
    wxTimer valueTimer_;
};
