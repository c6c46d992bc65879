#include "graph/Graph.h"

#include "graph/FFTGraph.h"
#include "graph/WindowMemory.h"

#include <algorithm>
#include <limits>

namespace {

// Samples are kept in place and stay visible until they are overwritten; new ones are 0.
void resizeSamples(ChannelTrace& trace, int capacity) {
    const size_t size = static_cast<size_t>(capacity) + 1;
    if (trace.samples.size() == size)
        return;
    trace.samples.resize(size, 0.0);
    trace.envelope.rebuild(trace.samples.data(), size);
}

ChannelTrace emptyTrace(int capacity) {
    ChannelTrace trace;
    resizeSamples(trace, capacity);
    return trace;
}

} // namespace

Graph::Graph(InstrumentServer& server, const InputSettings& inputs, GraphData& graph)
    : server_(server), inputs_(inputs), graph_(graph) {}

int Graph::channelCount() const {
    return static_cast<int>(std::min(traces_.size(), graph_.channelList.size()));
}

void Graph::removeChannel(int index) {
    if (index >= 0 && index < static_cast<int>(traces_.size()))
        traces_.erase(traces_.begin() + index);
    if (fftView_)
        fftView_->removeChannel(index);
}

void Graph::insertChannel(int index) {
    if (index >= 0 && index <= static_cast<int>(traces_.size()))
        traces_.insert(traces_.begin() + index, emptyTrace(capacity_));
    if (fftView_)
        fftView_->insertChannel(index);
}

void Graph::rebuild() {
    // The window may move or shrink: a spectrum's samples still being copied are taken first.
    if (fftView_)
        fftView_->keepAnalysedSamples(std::numeric_limits<int>::max());
    const double previousDt = dt_;
    dt_ = 1.0 / std::max(inputs_.rate, 1); // s per sample
    capacity_ = windowCapacity(inputs_);

    traces_.resize(graph_.channelList.size());
    for (ChannelTrace& trace : traces_) {
        resizeSamples(trace, capacity_);
        trace.observedMin = 1e200;
        trace.observedMax = -1e200;
        trace.currentValue = 0.0;
    }
    writeIndex_ = 0;
    heldFrom_ = -1;
    // A smaller window holds fewer samples than before; at another rate they mean nothing.
    highWater_ = std::min(highWater_, capacity_);
    dataEnd_ = dt_ == previousDt ? std::min(dataEnd_, capacity_) : 0;
    substitutes_.overwritten(capacity_, std::numeric_limits<int>::max());
    pendingLosses_.clear();
    if (fftView_)
        fftView_->rebuild();
}

void Graph::restart() {
    writeIndex_ = 0;
    dataEnd_ = 0;
    heldFrom_ = -1;
}

void Graph::holdLiveDrawing() {
    liveHeld_ = true;
}

void Graph::releaseLiveDrawing() {
    liveHeld_ = false;
    // A full window is repainted as a whole by the caller.
    if (heldFrom_ >= 0 && writeIndex_ < capacity_)
        drawLive(heldFrom_);
    heldFrom_ = -1;
}

void Graph::appendSamples(int channel, const double* values, int count) {
    if (channel < 0 || channel >= static_cast<int>(traces_.size()) || !values)
        return;
    const int n = std::min(count, capacity_ - writeIndex_);
    if (n <= 0)
        return;
    // Including the element after the newest value, which repeats it.
    if (fftView_)
        fftView_->keepAnalysedSamples(writeIndex_ + n + 1);
    ChannelTrace& trace = traces_[static_cast<size_t>(channel)];
    double* target = trace.samples.data() + writeIndex_;
    std::copy(values, values + n, target);
    // Not a number leaves the observed range as it is, as std::min and std::max do.
    const ValueRange observed = scanRange(values, 0, static_cast<std::size_t>(n));
    if (!observed.empty()) {
        trace.observedMin = std::min(trace.observedMin, observed.low);
        trace.observedMax = std::max(trace.observedMax, observed.high);
    }
    // The element after the newest value repeats it: the last pixel column and the live value
    // read it.
    target[n] = values[n - 1];
    const size_t first = static_cast<size_t>(writeIndex_);
    trace.envelope.update(trace.samples.data(), first, first + static_cast<size_t>(n) + 1);
}

void Graph::framesLost(int atValue, std::int64_t frames, int substitutes) {
    (void)frames;
    pendingLosses_.push_back({atValue, substitutes});
}

bool Graph::advance(int count) {
    const int old = writeIndex_;
    writeIndex_ = old + std::min(std::max(count, 0), capacity_ - old);
    substitutes_.overwritten(old, writeIndex_);
    for (const PendingLoss& loss : pendingLosses_) {
        const int first = old + std::max(loss.atValue, 0);
        substitutes_.add(first, std::min(loss.substitutes, writeIndex_ - first));
    }
    pendingLosses_.clear();
    highWater_ = std::max(highWater_, writeIndex_);
    // A sweep writes from the left: what lies beyond it is older.
    dataEnd_ = writeIndex_;
    // A full window is repainted as a whole by the caller.
    if (writeIndex_ < capacity_ && liveHeld_)
        heldFrom_ = heldFrom_ < 0 ? old : heldFrom_;
    else if (writeIndex_ < capacity_)
        drawLive(old);
    else if (old < capacity_ && fftView_)
        fftView_->computeSpectra();
    return writeIndex_ >= capacity_;
}

GraphTiming Graph::timing() const {
    return GraphTiming{dt_, highWater_};
}

int Graph::copySamples(int channel, int from, double* destination, int count) const {
    if (channel < 0 || channel >= static_cast<int>(traces_.size()) || from < 0 || !destination)
        return 0;
    // Only the current sweep: behind it the window still holds an earlier sweep, which is not
    // data of this one.
    const int n = std::min(count, dataEnd_ - from);
    if (n <= 0)
        return 0;
    std::copy_n(traces_[static_cast<size_t>(channel)].samples.begin() + from, n, destination);
    return n;
}

bool Graph::isOutOfRange() const {
    if (!graph_.stopOnOutOfRange)
        return false;
    const double minValue = leadingNumber(graph_.minValue);
    const double maxValue = leadingNumber(graph_.maxValue);
    if (!(maxValue > minValue))
        return false;
    return std::any_of(traces_.begin(), traces_.end(), [&](const ChannelTrace& trace) {
        return trace.observedMax > maxValue || trace.observedMin < minValue;
    });
}
