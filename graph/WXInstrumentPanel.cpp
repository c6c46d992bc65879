#include "graph/WXInstrumentPanel.h"

#include "config/Config.h"

WXInstrumentPanel::WXInstrumentPanel(wxWindow* parent, const Config& config)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE,
               "panel"),
      config_(config), valueTimer_(this, valueTimerId) {
    // Only the paint handler clears the panel.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    server_ = KLib::Ref<WXInstrumentServer>(new WXInstrumentServer(this));

    Bind(wxEVT_SIZE, &WXInstrumentPanel::onSize, this);
    Bind(wxEVT_PAINT, &WXInstrumentPanel::onPaint, this);
    Bind(wxEVT_TIMER, &WXInstrumentPanel::onValueTimer, this, valueTimerId);
    for (const wxEventTypeTag<wxMouseEvent>& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_MOTION,
          wxEVT_ENTER_WINDOW, wxEVT_LEAVE_WINDOW, wxEVT_MOUSEWHEEL})
        Bind(type, &WXInstrumentPanel::handleMouse, this);
}

void WXInstrumentPanel::handleMouse(wxMouseEvent& event) {
    if (config_.lockGraphs)
        return;
    const double x = event.GetX();
    const double y = event.GetY();
    if (event.LeftDown() || event.RightDown()) {
        server_->mouseButton(x, y, true);
    } else if (event.LeftUp() || event.RightUp()) {
        server_->mouseButton(x, y, false);
    } else if (event.GetEventType() == wxEVT_MOTION) {
        server_->mouseMotion(x, y, event.ButtonIsDown(wxMOUSE_BTN_ANY));
    } else if (event.Entering()) {
        // Wheel events reach the focused window only.
        SetFocus();
    } else if (event.Leaving()) {
        server_->drawHighlight(0.0, 0.0, 0.0, 0.0);
    }
    if (event.GetWheelRotation() != 0)
        server_->mouseWheel(x, y, event.GetWheelRotation());
}

void WXInstrumentPanel::startValueTimer(unsigned milliseconds) {
    valueTimer_.Start(static_cast<int>(milliseconds), wxTIMER_CONTINUOUS);
}

void WXInstrumentPanel::stopValueTimer() {
    valueTimer_.Stop();
}

void WXInstrumentPanel::onSize(wxSizeEvent& event) {
    server_->layout(event.GetSize().GetWidth(), event.GetSize().GetHeight());
    event.Skip();
}

void WXInstrumentPanel::onPaint(wxPaintEvent&) {
    server_->paint();
}

void WXInstrumentPanel::onValueTimer(wxTimerEvent&) {
    server_->updateValueTexts();
}
