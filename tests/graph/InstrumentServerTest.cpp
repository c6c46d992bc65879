#include "GraphTestSupport.h"

#include "KLib/Log.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Answers `code` above y = 50 ("top") or from y = 50 on ("bottom"), with the rectangle (code,
// 0) to (code + 10, 10); notes every call it receives.
class FakeInstrument : public Instrument {
public:
    FakeInstrument(const char* name, std::vector<std::string>& calls, const int& code)
        : name_(name), calls_(calls), code_(code) {}
    HitResult hitTest(double, double y) const override {
        if ((y < 50) != (name_ == "top"))
            return HitResult{};
        return HitResult{code_, code_ + 0.0, 0.0, code_ + 10.0, 10.0};
    }
    void setViewport(double a, double b, double c, double d) override {
        note("viewport", {a, b, c, d});
    }
    void draw(Painter&) override { note("draw"); }
    void move(double dx, double dy) override { note("move", {dx, dy}); }
    void zoomIn(double a, double b, double c, double d) override { note("zoomIn", {a, b, c, d}); }
    void zoomOut(double a, double b, double c, double d) override { note("zoomOut", {a, b, c, d}); }
    void zoomAt(double a, double b, double c, double d) override { note("zoomAt", {a, b, c, d}); }
    void fitX() override { note("fitX"); }
    bool autoScaleY() override { return note("autoScaleY"); }
    void setXAxis(bool fft, double s, double o) override { note("setXAxis", {fft + 0.0, s, o}); }
    void updateValueTexts() override {}
    void setValueCallback(ValueCallback) override {}

private:
    bool note(const std::string& what, std::initializer_list<double> values = {}) {
        std::ostringstream text;
        text << name_ << ' ' << what;
        for (double v : values)
            text << ' ' << v;
        calls_.push_back(text.str());
        return true;
    }
    std::string name_;
    std::vector<std::string>& calls_;
    const int& code_;
};

class CapturingLog : public KLib::LogChannel {
public:
    void write(const std::string& message, int level, const std::string& file, int line) override {
        lines.push_back(file + "(" + std::to_string(line) + ") " + std::to_string(level) + " " +
                        message);
    }
    std::vector<std::string> lines;
};

struct ServerFixture {
    ServerFixture() {
        server->addInstrument(KLib::Ref<Instrument>(new FakeInstrument("top", calls, topCode)));
        server->addInstrument(
            KLib::Ref<Instrument>(new FakeInstrument("bottom", calls, bottomCode)));
    }
    KLib::Ref<TestServer> server{new TestServer};
    std::vector<std::string> calls;
    int topCode = plotHit;
    int bottomCode = plotHit;
};

using Calls = std::vector<std::string>;

} // namespace

TEST(InstrumentServerTest, LayoutAndPaint) {
    KLib::Log::init();
    KLib::Ref<CapturingLog> log(new CapturingLog);
    KLib::Log::addChannel(log);
    ServerFixture f;
    f.server->layout(612, 100);
    EXPECT_EQ(f.calls, (Calls{"top viewport 0 0 612 50", "bottom viewport 0 50 612 100"}));
    // A new instrument lays all out again at the next paint, over a clean background; the
    // highlight marked a zone of the old layout and is gone.
    f.calls.clear();
    int code = noHit;
    f.server->addInstrument(KLib::Ref<Instrument>(new FakeInstrument("third", f.calls, code)));
    f.server->drawHighlight(1, 2, 3, 4);
    std::vector<Drawn> painted;
    RecordingPainter painter(painted);
    f.server->paintInstruments(painter, 400, 100);
    EXPECT_EQ(f.calls,
              (Calls{"top viewport 0 0 400 33.3333", "bottom viewport 0 33.3333 400 66.6667",
                     "third viewport 0 66.6667 400 100", "top draw", "bottom draw", "third draw"}));
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].kind, "clear");
    // Painted over everything otherwise.
    f.server->drawHighlight(1, 2, 3, 4);
    painted.clear();
    f.server->paintInstruments(painter, 400, 100);
    ASSERT_EQ(painted.size(), 2u);
    EXPECT_EQ(painted[1].coordinates(), (std::vector<int>{1, 2, 2, 2}));
    // Rows of the middle instrument only: the others are not drawn.
    f.calls.clear();
    f.server->paintInstruments(painter, 400, 100, 40, 60);
    EXPECT_EQ(f.calls, (Calls{"bottom draw"}));
    f.server->clear();
    f.server->layout(10, 20);
    EXPECT_EQ(log->lines, (Calls{"InstrumentServer.cpp(62) 1 set viewport 612 100",
                                 "InstrumentServer.cpp(62) 1 set viewport 400 100",
                                 "InstrumentServer.cpp(62) 1 set viewport 10 20"}));
    KLib::Log::shutdown();
}

TEST(InstrumentServerTest, DraggingMovesOrZoomsTheCapturedInstrument) {
    ServerFixture f;
    f.server->mouseButton(10, 60, true);
    EXPECT_EQ(f.server->captured(), f.server->instruments()[1].get());
    f.server->mouseMotion(15, 57, true);
    f.server->mouseMotion(16, 57, true);
    f.server->mouseButton(16, 57, false);
    f.server->mouseMotion(20, 20, true); // nothing captured any more

    f.server->setMode(zoomInMode);
    f.server->mouseButton(30, 40, true);
    f.server->mouseMotion(10, 10, true); // the rubber band from the press point
    EXPECT_EQ(ofKind(f.server->screen, "rect")[0].coordinates(),
              (std::vector<int>{10, 10, 20, 30}));
    f.server->mouseButton(10, 10, false);
    // Releasing the button has the rubber band painted over.
    EXPECT_EQ(ofKind(f.server->screen, "rect").size(), 1u);
    EXPECT_EQ(f.server->refreshed.size(), 4u);
    f.server->setMode(zoomOutMode);
    f.server->mouseButton(10, 10, true);
    f.server->mouseButton(10, 45, false); // no width: no zoom, but the capture ends
    EXPECT_EQ(f.server->captured(), nullptr);
    f.server->mouseButton(10, 45, true);
    f.server->mouseButton(20, 5, false);
    EXPECT_EQ(f.calls, (Calls{"bottom move 5 -3", "bottom move 1 0", "top zoomIn 10 10 30 40",
                              "top zoomOut 10 5 20 45"}));
    EXPECT_EQ(f.server->refreshes, 4);
}

TEST(InstrumentServerTest, PressesOnBandsAndLegendRows) {
    ServerFixture f;
    f.topCode = xAxisHit;
    f.bottomCode = yAxisHit;
    f.server->mouseButton(0, 0, true);
    f.server->mouseButton(0, 60, true);
    EXPECT_EQ(f.calls, (Calls{"top fitX", "bottom autoScaleY"}));
    EXPECT_EQ(f.server->refreshes, 2);
    // Menus open with the instrument captured and the channel selected; both end with them.
    for (int code :
         std::vector<int>{viewportHit, clickHereHit, legendRowHit + 2, lastLegendRowHit + 1}) {
        f.topCode = code;
        f.server->mouseButton(0, 0, true);
    }
    EXPECT_EQ(f.server->menus, (Calls{"graph", "channel 0 add", "channel 2"}));
    EXPECT_EQ(f.server->captured(), nullptr);
    EXPECT_EQ(f.server->selectedChannel(), -1);
    // Removing an instrument ends a capture as well.
    f.topCode = plotHit;
    f.server->mouseButton(0, 0, true);
    f.server->removeInstrument(f.server->instruments()[1].get());
    EXPECT_EQ(f.server->instruments().size(), 1u);
    EXPECT_EQ(f.server->captured(), nullptr);
}

TEST(InstrumentServerTest, HoverHighlightsTheFirstZoneOtherThanAPlotAndErasesItExactly) {
    ServerFixture f;
    f.bottomCode = legendRowHit;
    f.server->mouseMotion(0, 10, false); // a plot passes on; nothing else here
    EXPECT_TRUE(f.server->screen.empty());
    f.server->mouseMotion(0, 60, false);
    f.server->mouseMotion(1, 61, false); // the same zone: left as it is
    const std::vector<Drawn> drawn = ofKind(f.server->screen, "rect");
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].coordinates(), (std::vector<int>{6, 0, 10, 10}));
    EXPECT_EQ(drawn[0].pen.colour, highlightColour);
    EXPECT_TRUE(f.server->refreshed.empty());
    // A tool of the tool bar: the frame is painted over from the instruments, side by side.
    f.server->setMode(zoomInMode);
    EXPECT_EQ(f.server->refreshed,
              (std::vector<std::vector<int>>{
                  {5, -1, 13, 3}, {5, 9, 13, 3}, {5, -1, 3, 13}, {15, -1, 3, 13}}));
    EXPECT_EQ(ofKind(f.server->screen, "rect").size(), 1u);
}

TEST(InstrumentServerTest, WheelZoomsPlotsAndAxisBandsOnly) {
    ServerFixture f;
    f.topCode = xAxisHit;
    f.bottomCode = yAxisHit;
    f.server->mouseWheel(5, 10, 120);
    f.server->mouseWheel(5, 60, -120);
    f.topCode = plotHit;
    f.bottomCode = legendRowHit;
    f.server->mouseWheel(5, 10, 120);
    f.server->mouseWheel(5, 60, 120);
    EXPECT_EQ(f.calls, (Calls{"top zoomAt 5 10 0.5 1", "bottom zoomAt 5 60 1 2",
                              "top zoomAt 5 10 0.5 0.5"}));
    EXPECT_EQ(f.server->refreshes, 3);
}
