#pragma once

#include "graph/Graph.h"
#include "graph/InstrumentServer.h"
#include "graph/Painter.h"

#include <memory>
#include <string>
#include <vector>

// One drawing call: a line from (x1, y1) to (x2, y2), or a rectangle or clip at (x1, y1) with
// width x2 and height y2, or a text at (x1, y1).
struct Drawn {
    std::string kind; // "line", "rect", "text", "clip", "unclip", "clear"
    int x1, y1, x2, y2;
    std::string text;
    Pen pen;
    Brush brush;
    std::vector<int> coordinates() const { return {x1, y1, x2, y2}; }
};

// Records every call; text is 6 pixels per character and 10 pixels high.
class RecordingPainter : public Painter {
public:
    explicit RecordingPainter(std::vector<Drawn>& log) : log_(log) {}
    void setPen(const Pen& pen) override { pen_ = pen; }
    void setBrush(const Brush& brush) override { brush_ = brush; }
    void useTextFont() override {}
    void drawLine(int x1, int y1, int x2, int y2) override { add("line", x1, y1, x2, y2); }
    void drawRectangle(int x, int y, int w, int h) override { add("rect", x, y, w, h); }
    void drawText(const std::string& text, int x, int y) override { add("text", x, y, text); }
    TextSize textExtent(const std::string& text) override {
        return TextSize{6 * static_cast<int>(text.size()), 10};
    }
    void setClip(int x, int y, int w, int h) override { add("clip", x, y, w, h); }
    void resetClip() override { add("unclip"); }
    void clear() override { add("clear"); }

private:
    void add(const char* kind, int x1 = 0, int y1 = 0, int x2 = 0, int y2 = 0) {
        log_.push_back(Drawn{kind, x1, y1, x2, y2, "", pen_, brush_});
    }
    void add(const char* kind, int x, int y, const std::string& text) {
        log_.push_back(Drawn{kind, x, y, 0, 0, text, pen_, brush_});
    }
    std::vector<Drawn>& log_;
    Pen pen_;
    Brush brush_;
};

inline std::vector<Drawn> ofKind(const std::vector<Drawn>& log, const std::string& kind) {
    std::vector<Drawn> found;
    for (const Drawn& d : log)
        if (d.kind == kind)
            found.push_back(d);
    return found;
}

// A server without a window, text 10 pixels high: screen drawing goes to `screen`; menus are
// noted with the capture state they were opened in.
class TestServer : public InstrumentServer {
public:
    TestServer() : InstrumentServer(10.0) {}
    void refresh() override { ++refreshes; }
    void refreshArea(int x, int y, int width, int height) override {
        refreshed.push_back({x, y, width, height});
    }
    std::unique_ptr<Painter> screenPainter() override {
        return std::make_unique<RecordingPainter>(screen);
    }
    std::vector<Drawn> screen;
    std::vector<std::vector<int>> refreshed; // x, y, width, height
    int refreshes = 0;
    std::vector<std::string> menus;

protected:
    void showGraphMenu(Instrument& instrument, double, double) override {
        menus.push_back(captured() == &instrument ? "graph" : "graph uncaptured");
    }
    void showChannelMenu(Instrument& instrument, int channel, bool addOnly, double,
                         double) override {
        const bool held = captured() == &instrument && selectedChannel() == channel;
        menus.push_back("channel " + std::to_string(channel) + (addOnly ? " add" : "") +
                        (held ? "" : " uncaptured"));
    }
};

// A graph with channels A (blue, with value text) and B (red) in a 612 x 331 viewport at the
// panel's top left: plot area (120, 14) to (600, 314).
struct GraphFixture {
    GraphFixture(int rate, float displayTime) {
        inputs.rate = rate;
        inputs.displayTime = displayTime;
        record.channelList.resize(2);
        for (ChannelData& channel : record.channelList)
            channel.unit = 3; // degrees
        record.channelList[0].caption = "A";
        record.channelList[1].caption = "B";
        record.channelList[1].color = 0xFF0000;
        record.channelList[1].displayTextValue = false;
        graph = server->createGraph(inputs, record);
        graph->setViewport(0.0, 0.0, 612.0, 331.0);
        graph->rebuild();
    }
    void view(double scaleX, double offsetX, double scaleY, double offsetY) {
        record.scale = Point{scaleX, scaleY};
        record.offset = Point{offsetX, offsetY};
    }

    KLib::Ref<TestServer> server{new TestServer};
    InputSettings inputs;
    GraphData record;
    KLib::Ref<Graph> graph;
};
