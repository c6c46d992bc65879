#include "SimulatedBox.h"
#include "WindowFixture.h"
#include "app/Ids.h"
#include "graph/WXInstrumentServer.h"
#include "signal/Units.h"

#include <wx/menu.h>
#include <wx/toolbar.h>

#include <cstdlib>

namespace {

using namespace std::chrono_literals;

// A sine from the box's first SinCos input fills the "Position" graph.
class GraphNavigationTest : public WindowFixture {
protected:
    GraphNavigationTest() {
        Config config;
        config.inputSettings.rate = 10000;
        GraphData& position = addGraph(config);
        position.caption = "Position";
        ChannelData& a = addChannel(position);
        a.caption = "Analog A";
        a.channel = 2;
        a.unit = unitIndex("V");
        writeConfiguration(config);
        openWindow();
        click(frame_, ID_START);
        pump(1500ms);
        click(frame_, ID_STOP);
        // One tick of Auto Zoom fits the Y axis to the sine.
        click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
        pump(1100ms);
        click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
        click(frame_, ID_VIEW_ALL, wxEVT_TOOL);
        pump(100ms);
    }

    const GraphData& graph() const { return frame_->controller().config().graphList.front(); }
    // A point of the plot area, as fractions of its width and height.
    wxPoint inPlot(double fx, double fy) const {
        const GraphData& g = graph();
        return wxPoint(static_cast<int>(g.graphP1.x + fx * (g.graphP2.x - g.graphP1.x)),
                       static_cast<int>(g.graphP1.y + fy * (g.graphP2.y - g.graphP1.y)));
    }
    void lockGraphs(bool lock) {
        frame_->GetMenuBar()->Check(ID_LOCK_GRAPHS, lock);
        wxCommandEvent event(wxEVT_MENU, ID_LOCK_GRAPHS);
        event.SetInt(lock ? 1 : 0);
        frame_->GetEventHandler()->ProcessEvent(event);
    }
    struct View {
        Point scale;
        Point offset;
    };
    View view() const { return {graph().scale, graph().offset}; }
    static void expectSame(const View& a, const View& b) {
        EXPECT_EQ(a.scale.x, b.scale.x);
        EXPECT_EQ(a.scale.y, b.scale.y);
        EXPECT_EQ(a.offset.x, b.offset.x);
        EXPECT_EQ(a.offset.y, b.offset.y);
    }

    SimulatedBox box_{boxWithInputs("sin2sq1ssi1ana1")};
};

TEST_F(GraphNavigationTest, RubberBandZoomsInAndLockBlocksMouseViewAllAndAutoZoom) {
    const View whole = view();
    click(frame_, ID_ZOOM_IN, wxEVT_TOOL);
    drag(panel(), inPlot(0.25, 0.25), inPlot(0.5, 0.75));
    const View quarter = view();
    // A quarter of the width and half of the height fill the plot now.
    EXPECT_NEAR(quarter.scale.x / whole.scale.x, 4.0, 0.1);
    EXPECT_NEAR(quarter.scale.y / whole.scale.y, 2.0, 0.1);
    // Closer still, so that single periods of the sine show.
    drag(panel(), inPlot(0.4, 0.0), inPlot(0.45, 1.0));
    const View zoomed = view();
    if (const char* directory = std::getenv("ORVA_SCREENSHOT_DIR")) {
        pump(300ms);
        screenshot(std::string(directory) + "/zoomed-graph.png");
    }

    lockGraphs(true);
    click(frame_, ID_MOVE, wxEVT_TOOL);
    EXPECT_EQ(panel().server().mode(), moveMode);
    drag(panel(), inPlot(0.5, 0.5), inPlot(0.1, 0.1));
    click(frame_, ID_VIEW_ALL, wxEVT_TOOL);
    click(frame_, ID_AUTO_ZOOM, wxEVT_TOOL);
    EXPECT_FALSE(frame_->GetToolBar()->GetToolState(ID_AUTO_ZOOM));
    pump(1200ms);
    expectSame(view(), zoomed);

    lockGraphs(false);
    click(frame_, ID_VIEW_ALL, wxEVT_TOOL);
    EXPECT_NEAR(view().scale.x, whole.scale.x, 1e-9 * std::abs(whole.scale.x));
}

} // namespace
