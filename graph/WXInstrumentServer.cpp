#include "graph/WXInstrumentServer.h"

#include "graph/EditCommands.h"
#include "graph/WXPainter.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>
#include <iterator>

namespace {

wxFont textFont() {
    return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS));
}

// Pixel height of a line of text in the font, measured on the window.
double lineHeight(wxWindow* window, const wxFont& font) {
    wxClientDC dc(window);
    dc.SetFont(font);
    return dc.GetTextExtent("Aq").GetHeight();
}

struct MenuItem {
    int id;
    const char* label;
    const char* help; // shown in the status bar while the item is highlighted
};

// The context menu of a graph, opened on its frame, in menu order.
constexpr MenuItem graphMenu[] = {
    {addGraphCommand, "Add graph...", "Add a graph"},
    {insertGraphCommand, "Insert graph...", "Insert a graph before the selected graph"},
    {editGraphCommand, "Edit graph...", "Edit the selected graph"},
    {removeGraphCommand, "Remove graph", "Remove the selected graph"},
    {addFFTGraphCommand, "Add FFT graph", "Add an FFT view of this graph"},
    {addLissajousCommand, "Add Lissajous view",
     "Add a Lissajous view of a SinCos input of this graph"},
    {signalQualityCommand, "Signal quality", "Show the signal quality of this graph's inputs"},
    {statisticsCommand, "Statistics", "Show the statistics of this graph's channels on screen"},
    {clearCursorsCommand, "Clear cursors", "Remove the cursors of this graph"},
};

// The context menu of a legend row, in menu order.
constexpr MenuItem channelMenu[] = {
    {addChannelCommand, "Add channel...", "Add a channel to the graph"},
    {insertChannelCommand, "Insert channel...", "Insert a channel before the selected channel"},
    {editChannelCommand, "Edit channel...", "Edit the selected channel"},
    {removeChannelCommand, "Remove channel", "Remove the selected channel"},
};

// Pops up the first `count` items at the window point (x, y), those the filter refuses
// disabled, and hands on the chosen id, if any.
void popUp(wxWindow* window, const MenuItem* items, std::size_t count, double x, double y,
           const WXInstrumentServer::MenuHandler& handler,
           const WXInstrumentServer::MenuFilter& filter) {
    wxMenu menu;
    for (std::size_t i = 0; i < count; ++i) {
        menu.Append(items[i].id, items[i].label, items[i].help);
        menu.Enable(items[i].id, !filter || filter(items[i].id));
    }
    const int chosen = window->GetPopupMenuSelectionFromUser(
        menu, wxPoint(static_cast<int>(x), static_cast<int>(y)));
    if (chosen != wxID_NONE && handler)
        handler(chosen);
}

} // namespace

WXInstrumentServer::WXInstrumentServer(wxWindow* window) : WXInstrumentServer(window, textFont()) {}

WXInstrumentServer::WXInstrumentServer(wxWindow* window, const wxFont& font)
    : InstrumentServer(lineHeight(window, font)), window_(window), font_(font),
      // Screen-sized, so that it rarely has to grow.
      bitmap_(std::max(1, wxSystemSettings::GetMetric(wxSYS_SCREEN_X)),
              std::max(1, wxSystemSettings::GetMetric(wxSYS_SCREEN_Y))) {
    // CallAfter queues an event, which wx allows from any thread; the window drops it when it
    // is destroyed first. One collection queued at a time serves every notice posted before it
    // runs: an FFT view copying its samples in slices posts again after each slice.
    workNotice()->setTarget([this] {
        if (!collectionQueued_.exchange(true))
            window_->CallAfter([this] {
                collectionQueued_ = false;
                collectFinishedWork();
            });
    });
}

WXInstrumentServer::~WXInstrumentServer() {
    workNotice()->setTarget(nullptr);
}

void WXInstrumentServer::paint() {
    const wxSize client = window_->GetClientSize();
    // The bitmap only ever grows.
    if (bitmap_.GetWidth() < client.GetWidth() || bitmap_.GetHeight() < client.GetHeight())
        bitmap_ = wxBitmap(std::max(bitmap_.GetWidth(), client.GetWidth()),
                           std::max(bitmap_.GetHeight(), client.GetHeight()));
    wxBufferedPaintDC dc(window_, bitmap_);
    WXPainter painter(dc, font_);
    // The paint DC is clipped to the update region: what lies outside it stays on the screen.
    const wxRect dirty = window_->GetUpdateRegion().GetBox();
    paintInstruments(painter, client.GetWidth(), client.GetHeight(), dirty.GetTop(),
                     dirty.GetBottom() + 1);
}

void WXInstrumentServer::refresh() {
    window_->Refresh(true);
}

void WXInstrumentServer::refreshArea(int x, int y, int width, int height) {
    window_->RefreshRect(wxRect(x, y, width, height), false);
}

std::unique_ptr<Painter> WXInstrumentServer::screenPainter() {
    return WXPainter::onScreen(*window_, font_);
}

void WXInstrumentServer::showGraphMenu(Instrument& instrument, double x, double y) {
    // Clearing the cursors is the panel's own command: no record of the graph list changes.
    const MenuHandler handler = [&](int id) {
        if (id == clearCursorsCommand) {
            instrument.clearCursors();
            refresh();
        } else if (menuHandler_) {
            menuHandler_(id);
        }
    };
    const MenuFilter filter = [&](int id) {
        if (id == clearCursorsCommand)
            return instrument.hasCursors();
        return !menuFilter_ || menuFilter_(id);
    };
    popUp(window_, graphMenu, std::size(graphMenu), x, y, handler, filter);
}

void WXInstrumentServer::showChannelMenu(Instrument&, int, bool addOnly, double x, double y) {
    // The "click here" row of a graph without channels offers only "Add channel...".
    popUp(window_, channelMenu, addOnly ? 1 : std::size(channelMenu), x, y, menuHandler_,
          menuFilter_);
}
