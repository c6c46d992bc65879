#pragma once

// A painter and an instrument server that draw nowhere, for timing the drawing code alone.

#include "graph/InstrumentServer.h"
#include "graph/Painter.h"

#include <cstdint>
#include <memory>
#include <string>

// Draws nowhere; counts lines so that nothing is optimised away.
class CountingPainter : public Painter {
public:
    void setPen(const Pen&) override {}
    void setBrush(const Brush&) override {}
    void useTextFont() override {}
    void drawLine(int, int, int, int) override { ++lines; }
    void drawRectangle(int, int, int, int) override {}
    void drawText(const std::string&, int, int) override {}
    TextSize textExtent(const std::string& text) override {
        return TextSize{6 * static_cast<int>(text.size()), 10};
    }
    void setClip(int, int, int, int) override {}
    void resetClip() override {}
    void clear() override {}

    std::int64_t lines = 0;
};

class NullServer : public InstrumentServer {
public:
    NullServer() : InstrumentServer(10.0) {}
    void refresh() override {}
    void refreshArea(int, int, int, int) override {}
    std::unique_ptr<Painter> screenPainter() override {
        return std::make_unique<CountingPainter>();
    }

protected:
    void showGraphMenu(Instrument&, double, double) override {}
    void showChannelMenu(Instrument&, int, bool, double, double) override {}
};
