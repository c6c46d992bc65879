#pragma once

#include "graph/InstrumentServer.h"

#include <wx/bitmap.h>
#include <wx/font.h>

#include <atomic>
#include <functional>

class wxWindow;

// The instrument server on a wxWidgets window: painting through one reused off-screen bitmap,
// and direct screen drawing for live data and the hover highlight.
class WXInstrumentServer : public InstrumentServer {
public:
    // The window is not owned; it must outlive the server's use.
    explicit WXInstrumentServer(wxWindow* window);
    ~WXInstrumentServer() override;

    // The paint handler's work: everything drawn off screen, then copied at once.
    void paint();

    void refresh() override;
    void refreshArea(int x, int y, int width, int height) override;
    std::unique_ptr<Painter> screenPainter() override;

    // Receives the id of the item chosen in a context menu. It runs before the menu's
    // instrument is released, so captured() and selectedChannel() still name the target.
    using MenuHandler = std::function<void(int id)>;
    void setMenuHandler(MenuHandler handler) { menuHandler_ = std::move(handler); }
    // Tells, while a context menu is being built, whether an item's command would do anything
    // on the menu's target; items it refuses are shown disabled. Without one all are enabled.
    using MenuFilter = std::function<bool(int id)>;
    void setMenuFilter(MenuFilter filter) { menuFilter_ = std::move(filter); }

private:
    WXInstrumentServer(wxWindow* window, const wxFont& font);

    void showGraphMenu(Instrument& instrument, double x, double y) override;
    void showChannelMenu(Instrument& instrument, int channel, bool addOnly, double x,
                         double y) override;

    wxWindow* window_;
    wxFont font_;
    wxBitmap bitmap_;
    MenuHandler menuHandler_;
    MenuFilter menuFilter_;
    std::atomic<bool> collectionQueued_{false};
};
