// The graph panel on a real (virtual) display: painting, mouse routing and the value timer.

#include "config/Config.h"
#include "graph/Graph.h"
#include "graph/WXInstrumentPanel.h"
#include "graph/WXPainter.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Lets the toolkit deliver what is queued: sizes, paints, timer ticks.
void settle() {
    for (int i = 0; i < 10; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
}

void sendMouse(WXInstrumentPanel& panel, wxEventType type, int x, bool leftDown, int wheel = 0) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, 200));
    event.SetLeftDown(leftDown);
    event.m_wheelRotation = wheel;
    panel.handleMouse(event);
}

// What the display shows now, read back from the X server.
wxImage screenshot() {
    const std::string path = "/tmp/orva-panel-" + std::to_string(::getpid()) + ".png";
    EXPECT_EQ(std::system(("import -window root png:" + path).c_str()), 0);
    wxImage image(path, wxBITMAP_TYPE_PNG);
    std::remove(path.c_str());
    return image;
}

// Pixels of the rectangle (screen coordinates) that differ between two screenshots.
int changedPixels(const wxImage& a, const wxImage& b, const wxRect& area) {
    int changed = 0;
    for (int y = area.GetTop(); y <= area.GetBottom(); ++y)
        for (int x = area.GetLeft(); x <= area.GetRight(); ++x)
            changed += a.GetRed(x, y) != b.GetRed(x, y) || a.GetGreen(x, y) != b.GetGreen(x, y) ||
                       a.GetBlue(x, y) != b.GetBlue(x, y);
    return changed;
}

} // namespace

// The hover highlight shows on the display and, removed, leaves no mark: drawn in XOR, GTK 3
// left it black and a second drawing did not take it away.
TEST(GraphPanelTest, TheHighlightLeavesNoMarkOnTheDisplay) {
    wxInitAllImageHandlers();
    Config config;
    addDefaultGraph(config);
    auto* frame = new wxFrame(nullptr, wxID_ANY, "graphs", wxDefaultPosition, wxSize(640, 480));
    auto* panel = new WXInstrumentPanel(frame, config);
    KLib::Ref<Graph> graph =
        panel->server().createGraph(config.inputSettings, config.graphList.front());
    graph->rebuild();
    frame->Show();
    settle();
    const wxImage before = screenshot();
    const wxPoint origin = panel->GetScreenPosition();
    const wxRect area(origin.x + 2, origin.y + 2, 100, 20); // the legend's first row, and more
    panel->server().drawHighlight(5, 5, 95, 17);
    settle();
    EXPECT_GT(changedPixels(before, screenshot(), area), 100);
    panel->server().drawHighlight(0, 0, 0, 0);
    settle();
    EXPECT_EQ(changedPixels(before, screenshot(), area), 0);
    graph.reset();
    frame->Destroy();
    settle();
}

TEST(GraphPanelTest, PaintsAndFollowsTheMouseUnlessLocked) {
    Config config;
    addDefaultGraph(config);
    GraphData& record = config.graphList.front();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "graphs", wxDefaultPosition, wxSize(640, 480));
    auto* panel = new WXInstrumentPanel(frame, config);
    KLib::Ref<Graph> graph = panel->server().createGraph(config.inputSettings, record);
    graph->rebuild();
    frame->Show();
    settle();
    EXPECT_DOUBLE_EQ(graph->frame().p2.x, panel->GetClientSize().GetWidth() - 12.0);

    // A white plot with a black frame, the legend on the button face.
    wxBitmap bitmap(640, 400);
    {
        wxMemoryDC dc(bitmap);
        WXPainter painter(dc, *wxNORMAL_FONT);
        painter.clear();
        graph->setViewport(0.0, 0.0, 640.0, 400.0);
        graph->draw(painter);
    }
    const wxImage image = bitmap.ConvertToImage();
    const int y = static_cast<int>((graph->frame().p1.y + graph->frame().p2.y) / 2) + 7;
    EXPECT_EQ(image.GetRed(120, y), 0);
    EXPECT_NE(image.GetRed(60, 390), 255);
    int white = 0;
    for (int x = 121; x < 628; ++x)
        white += image.GetRed(x, y) == 255 && image.GetBlue(x, y) == 255;
    EXPECT_GT(white, 400);

    const double offsetX = record.offset.x;
    sendMouse(*panel, wxEVT_LEFT_DOWN, 300, true);
    sendMouse(*panel, wxEVT_MOTION, 310, true);
    sendMouse(*panel, wxEVT_LEFT_UP, 310, false);
    EXPECT_DOUBLE_EQ(record.offset.x, offsetX + 10.0);
    const double scaleX = record.scale.x;
    config.lockGraphs = true;
    sendMouse(*panel, wxEVT_MOUSEWHEEL, 300, false, 120);
    EXPECT_DOUBLE_EQ(record.scale.x, scaleX);
    config.lockGraphs = false;
    sendMouse(*panel, wxEVT_MOUSEWHEEL, 300, false, 120);
    EXPECT_DOUBLE_EQ(record.scale.x, scaleX * 2.0);

    int reported = 0;
    graph->setValueCallback([&](const std::string&, double) { ++reported; });
    const std::vector<double> values(30, 0.25);
    graph->appendSamples(0, values.data(), 30);
    EXPECT_FALSE(graph->advance(30));
    panel->startValueTimer(5);
    settle();
    panel->stopValueTimer();
    EXPECT_GT(reported, 0);

    graph.reset();
    frame->Destroy();
    settle();
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
