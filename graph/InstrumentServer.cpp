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

KLib::Ref<Graph> InstrumentServer::createGraph(const InputSettings& inputs, GraphData& graph,
                                               Instrument* before) {
    KLib::Ref<Graph> created(new Graph(*this, inputs, graph));
    addInstrument(created, before);
    return created;
}

KLib::Ref<FFTGraph> InstrumentServer::createFFTGraph(const KLib::Ref<Graph>& source,
                                                     GraphData& graph, Instrument* before) {
    KLib::Ref<FFTGraph> created(new FFTGraph(*this, graph));
    created->setSource(source);
    source->setFFTView(created.get());
    addInstrument(created, before);
    return created;
}

void InstrumentServer::addInstrument(const KLib::Ref<Instrument>& instrument, Instrument* before) {
    const auto position = std::find_if(instruments_.begin(), instruments_.end(),
                                       [&](const auto& entry) { return entry.get() == before; });
    instruments_.insert(before ? position : instruments_.end(), instrument);
    unplaced_.push_back(instrument.get());
    layoutDirty_ = true;
}

void InstrumentServer::removeInstrument(Instrument* instrument) {
    const auto found = std::find_if(instruments_.begin(), instruments_.end(),
                                    [&](const auto& entry) { return entry.get() == instrument; });
    if (found != instruments_.end())
        instruments_.erase(found);
    unplaced_.erase(std::remove(unplaced_.begin(), unplaced_.end(), instrument), unplaced_.end());
    captured_.reset();
    selectedChannel_ = -1;
    layoutDirty_ = true;
}

void InstrumentServer::clear() {
    captured_.reset();
    selectedChannel_ = -1;
    instruments_.clear();
    unplaced_.clear();
    layoutDirty_ = true;
}

void InstrumentServer::layout(int width, int height) {
    KLib::Log::write("set viewport " + std::to_string(width) + " " + std::to_string(height),
                     KLib::LogTraffic, "InstrumentServer.cpp", 62);
    // The zone the highlight marked has moved or gone with an instrument; the paint that
    // follows a layout covers the whole panel, so the frame needs no erasing of its own.
    highlight_ = Highlight{};
    if (instruments_.empty())
        return;
    const double slice = static_cast<double>(height) / static_cast<double>(instruments_.size());
    double top = 0.0;
    for (const auto& instrument : instruments_) {
        instrument->setViewport(0.0, top, width, top + slice);
        top += slice;
    }
    if (syncPending_)
        synchroniseXAxes();
    unplaced_.clear();
}

void InstrumentServer::synchroniseXAxes() {
    syncPending_ = false;
    if (!syncXAxis_ || instruments_.empty())
        return;
    const auto placed = std::find_if(instruments_.begin(), instruments_.end(), [&](const auto& i) {
        return std::find(unplaced_.begin(), unplaced_.end(), i.get()) == unplaced_.end();
    });
    // A move by nothing broadcasts the instrument's X axis to the others.
    (placed != instruments_.end() ? *placed : instruments_.front())->move(0.0, 0.0);
}

void InstrumentServer::paintInstruments(Painter& painter, int clientWidth, int clientHeight,
                                        int dirtyTop, int dirtyBottom) {
    if (layoutDirty_) {
        layout(clientWidth, clientHeight);
        layoutDirty_ = false;
        dirtyTop = 0;
        dirtyBottom = std::numeric_limits<int>::max();
    }
    painter.clear();
    // The instruments share the height in list order, as layout() gave it. A view that repaints
    // itself at every data tick then costs its own drawing, not that of every graph.
    const double slice =
        instruments_.empty() ? 0.0 : clientHeight / static_cast<double>(instruments_.size());
    for (std::size_t k = 0; k < instruments_.size(); ++k) {
        const double top = slice * static_cast<double>(k);
        if (top + slice > dirtyTop && top < dirtyBottom)
            instruments_[k]->draw(painter);
    }
    restoreHighlight(painter);
}

void InstrumentServer::updateValueTexts() {
    for (const auto& instrument : instruments_)
        instrument->updateValueTexts();
}

bool InstrumentServer::Highlight::operator==(const Highlight& other) const {
    return x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2;
}

void InstrumentServer::Highlight::draw(Painter& painter) const {
    if (empty())
        return;
    painter.setPen(Pen{highlightColour, 1, true});
    painter.setBrush(Brush::none());
    painter.drawRectangle(x1, y1, x2 - x1, y2 - y1);
}

void InstrumentServer::Highlight::erase(InstrumentServer& server) const {
    if (empty())
        return;
    // The four sides, a pixel wider on either side than the one-pixel pen.
    const int width = x2 - x1 + 3;
    const int height = y2 - y1 + 3;
    server.refreshArea(x1 - 1, y1 - 1, width, 3);
    server.refreshArea(x1 - 1, y2 - 1, width, 3);
    server.refreshArea(x1 - 1, y1 - 1, 3, height);
    server.refreshArea(x2 - 1, y1 - 1, 3, height);
}

void InstrumentServer::drawHighlight(double x1, double y1, double x2, double y2) {
    // Corners in any order: a rubber band may be dragged up or to the left.
    const int left = truncated(std::min(x1, x2));
    const int top = truncated(std::min(y1, y2));
    const Highlight next{left, top, truncated(std::max(x1, x2)), truncated(std::max(y1, y2))};
    if (next == highlight_)
        return;
    // Drawn over, not inverted: XOR drawing is not exact on every display, and left marks.
    highlight_.erase(*this);
    highlight_ = next;
    if (!highlight_.empty())
        highlight_.draw(*screenPainter());
}

void InstrumentServer::restoreHighlight(Painter& painter) const {
    highlight_.draw(painter);
}

void InstrumentServer::setSyncXAxis(bool on) {
    syncXAxis_ = on;
    syncPending_ = on;
    if (!layoutDirty_)
        synchroniseXAxes();
}

void InstrumentServer::broadcastXAxis(bool isFFT, double scaleX, double offsetX) {
    for (const auto& instrument : instruments_)
        instrument->setXAxis(isFFT, scaleX, offsetX);
}

void InstrumentServer::broadcastCursors(bool isFFT, const CursorPair& cursors) {
    for (const auto& instrument : instruments_)
        instrument->setCursors(isFFT, cursors);
}

void InstrumentServer::collectFinishedWork() {
    // A copy: an instrument's repaint request may not change the list, but a removal could.
    const std::vector<KLib::Ref<Instrument>> instruments = instruments_;
    for (const KLib::Ref<Instrument>& instrument : instruments)
        instrument->takeFinishedWork();
}
