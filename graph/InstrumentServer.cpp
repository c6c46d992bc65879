#include "graph/InstrumentServer.h"

#include "KLib/Log.h"
#include "graph/FFTGraph.h"
#include "graph/Graph.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A highlight corner: truncated like a toolkit coordinate, limited like pixel().
int truncated(double coordinate) {
    constexpr double limit = 1e6;
    return std::isnan(coordinate) ? 0 : static_cast<int>(std::clamp(coordinate, -limit, limit));
}

} // namespace

InstrumentServer::InstrumentServer(double fontHeight) : fontHeight_(fontHeight) {}

KLib::Ref<Graph> InstrumentServer::createGraph(const InputSettings& inputs, GraphData& graph) {
    KLib::Ref<Graph> created(new Graph(*this, inputs, graph));
    addInstrument(created);
    return created;
}

KLib::Ref<FFTGraph> InstrumentServer::createFFTGraph(const KLib::Ref<Graph>& source,
                                                     GraphData& graph) {
    KLib::Ref<FFTGraph> created(new FFTGraph(*this, graph));
    created->setSource(source);
    source->setFFTView(created.get());
    addInstrument(created);
    return created;
}

void InstrumentServer::addInstrument(const KLib::Ref<Instrument>& instrument) {
    instruments_.push_back(instrument);
    layoutDirty_ = true;
}

void InstrumentServer::removeInstrument(Instrument* instrument) {
    const auto found = std::find_if(instruments_.begin(), instruments_.end(),
                                    [&](const auto& entry) { return entry.get() == instrument; });
    if (found != instruments_.end())
        instruments_.erase(found);
    captured_.reset();
    selectedChannel_ = -1;
    layoutDirty_ = true;
}

void InstrumentServer::clear() {
    captured_.reset();
    selectedChannel_ = -1;
    instruments_.clear();
    layoutDirty_ = true;
}

void InstrumentServer::layout(int width, int height) {
    KLib::Log::write("set viewport " + std::to_string(width) + " " + std::to_string(height),
                     KLib::LogTraffic, "InstrumentServer.cpp", 62);
    if (instruments_.empty())
        return;
    const double slice = static_cast<double>(height) / static_cast<double>(instruments_.size());
    double top = 0.0;
    for (const auto& instrument : instruments_) {
        instrument->setViewport(0.0, top, width, top + slice);
        top += slice;
    }
}

void InstrumentServer::paintInstruments(Painter& painter, int clientWidth, int clientHeight) {
    if (layoutDirty_) {
        layout(clientWidth, clientHeight);
        layoutDirty_ = false;
    }
    painter.clear();
    for (const auto& instrument : instruments_)
        instrument->draw(painter);
    restoreHighlight(painter);
}

void InstrumentServer::updateValueTexts() {
    for (const auto& instrument : instruments_)
        instrument->updateValueTexts();
}

bool InstrumentServer::Highlight::operator==(const Highlight& other) const {
    return x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2;
}

void InstrumentServer::Highlight::drawXor(Painter& painter) const {
    if (empty())
        return;
    painter.setXorMode(true);
    painter.setPen(Pen{gridColour, 1, true});
    painter.setBrush(Brush::none());
    painter.drawRectangle(x1, y1, x2 - x1, y2 - y1);
    painter.setXorMode(false);
}

void InstrumentServer::drawHighlight(double x1, double y1, double x2, double y2) {
    const Highlight next{truncated(x1), truncated(y1), truncated(x2), truncated(y2)};
    if (next == highlight_)
        return;
    // XOR drawing: the old rectangle drawn again disappears.
    const std::unique_ptr<Painter> screen = screenPainter();
    highlight_.drawXor(*screen);
    next.drawXor(*screen);
    highlight_ = next;
}

void InstrumentServer::restoreHighlight(Painter& painter) const {
    highlight_.drawXor(painter);
}

void InstrumentServer::setSyncXAxis(bool on) {
    syncXAxis_ = on;
    // A move by nothing broadcasts the first instrument's X axis to the others.
    if (on && !instruments_.empty())
        instruments_.front()->move(0.0, 0.0);
}

void InstrumentServer::broadcastXAxis(bool isFFT, double scaleX, double offsetX) {
    for (const auto& instrument : instruments_)
        instrument->setXAxis(isFFT, scaleX, offsetX);
}
