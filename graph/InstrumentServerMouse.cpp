#include "graph/InstrumentServer.h"

#include <algorithm>

namespace {

bool isLegendRow(int code) {
    return code >= legendRowHit && code <= lastLegendRowHit;
}

bool anyZone(int code) {
    return code != noHit;
}

// The plot area itself is never highlighted.
bool highlightedZone(int code) {
    return code == viewportHit || code == xAxisHit || code == yAxisHit || code == clickHereHit ||
           isLegendRow(code);
}

bool zoomableZone(int code) {
    return code == plotHit || code == xAxisHit || code == yAxisHit;
}

} // namespace

InstrumentServer::Hit InstrumentServer::firstHit(double x, double y,
                                                 bool (*accepted)(int code)) const {
    for (const auto& instrument : instruments_) {
        const HitResult result = instrument->hitTest(x, y);
        if (accepted(result.code))
            return Hit{instrument.get(), result};
    }
    return Hit{};
}

void InstrumentServer::mouseButton(double x, double y, bool pressed) {
    if (pressed)
        this->pressed(x, y);
    else
        released(x, y);
}

void InstrumentServer::pressed(double x, double y) {
    pressX_ = x;
    pressY_ = y;
    captured_.reset();
    const Hit hit = firstHit(x, y, anyZone);
    if (!hit.instrument)
        return;
    // Held for the whole reaction: a menu command may remove the instrument from the list.
    const KLib::Ref<Instrument> target(hit.instrument);
    const int code = hit.result.code;
    if (code == plotHit) {
        captured_ = target;
        if (mode_ == cursorMode) {
            target->pressCursor(x);
            refresh();
        }
    } else if (code == viewportHit) {
        captured_ = target;
        showGraphMenu(*target, x, y);
        captured_.reset();
        selectedChannel_ = -1;
    } else if (code == xAxisHit) {
        target->fitX();
        refresh();
    } else if (code == yAxisHit) {
        target->autoScaleY();
        refresh();
    } else if (code == clickHereHit) {
        openChannelMenu(*target, 0, true, x, y);
    } else if (isLegendRow(code)) {
        openChannelMenu(*target, code - legendRowHit, false, x, y);
    }
}

void InstrumentServer::openChannelMenu(Instrument& instrument, int channel, bool addOnly, double x,
                                       double y) {
    captured_ = KLib::Ref<Instrument>(&instrument);
    selectedChannel_ = channel;
    showChannelMenu(instrument, channel, addOnly, x, y);
    captured_.reset();
    selectedChannel_ = -1;
}

void InstrumentServer::released(double x, double y) {
    if (!captured_)
        return;
    const KLib::Ref<Instrument> target = captured_;
    if (mode_ == zoomInMode || mode_ == zoomOutMode) {
        // The rubber band ends with the button; left standing it would frame a rectangle that
        // no longer means anything after the zoom.
        drawHighlight(0.0, 0.0, 0.0, 0.0);
        const double x1 = std::min(pressX_, x);
        const double y1 = std::min(pressY_, y);
        const double x2 = std::max(pressX_, x);
        const double y2 = std::max(pressY_, y);
        if (x1 != x2 && y1 != y2) {
            if (mode_ == zoomInMode)
                target->zoomIn(x1, y1, x2, y2);
            else
                target->zoomOut(x1, y1, x2, y2);
            refresh();
        }
    }
    captured_.reset();
}

void InstrumentServer::mouseMotion(double x, double y, bool dragging) {
    if (dragging) {
        if (!captured_)
            return;
        if (mode_ == moveMode) {
            captured_->move(x - pressX_, y - pressY_);
            refresh();
            pressX_ = x;
            pressY_ = y;
        } else if (mode_ == cursorMode) {
            captured_->dragCursor(x);
            refresh();
        } else {
            // The rubber band of the zoom rectangle.
            drawHighlight(pressX_, pressY_, x, y);
        }
        return;
    }
    const Hit hit = firstHit(x, y, highlightedZone);
    if (hit.instrument)
        drawHighlight(hit.result.x1, hit.result.y1, hit.result.x2, hit.result.y2);
    else
        drawHighlight(0.0, 0.0, 0.0, 0.0);
}

void InstrumentServer::mouseWheel(double x, double y, int rotation) {
    // Turning away from the user shows less.
    const double factor = rotation > 0 ? 0.5 : 2.0;
    const Hit hit = firstHit(x, y, zoomableZone);
    if (!hit.instrument)
        return;
    const int code = hit.result.code;
    hit.instrument->zoomAt(x, y, code == yAxisHit ? 1.0 : factor, code == xAxisHit ? 1.0 : factor);
    refresh();
}
