#include "graph/FFTGraph.h"

#include "graph/Graph.h"
#include "graph/InstrumentServer.h"

#include <algorithm>
#include <cmath>

namespace {

// Values over all channels copied in one slice: 1 MiB, about 0.1 ms, or about 4 ms where the
// buffers are new and each page faults in.
constexpr std::size_t copySliceValues = std::size_t(1) << 17;

} // namespace

FFTGraph::FFTGraph(InstrumentServer& server, GraphData& graph)
    : server_(server), graph_(graph), settings_(FftSettings::fromGraphData(graph)),
      worker_([notice = server.workNotice()] { notice->post(); }) {}

FFTGraph::~FFTGraph() {
    if (source_ && source_->fftView() == this)
        source_->setFFTView(nullptr);
}

void FFTGraph::setSource(const KLib::Ref<Graph>& source) {
    copyAnalysed(copy_.length);
    if (source_ && source_->fftView() == this)
        source_->setFFTView(nullptr);
    source_ = source;
    setupRange();
}

double FFTGraph::dt() const {
    return source_ ? source_->timing().dt : 1.0;
}

int FFTGraph::channelCount() const {
    return static_cast<int>(std::min(spectra_.size(), graph_.channelList.size()));
}

void FFTGraph::insertChannel(int index) {
    if (index >= 0 && index <= static_cast<int>(spectra_.size()))
        spectra_.insert(spectra_.begin() + index, std::vector<double>{});
    // The samples being copied belong to the old channels; their spectra would be dropped.
    copy_.active = false;
    ++layout_;
}

void FFTGraph::removeChannel(int index) {
    if (index >= 0 && index < static_cast<int>(spectra_.size()))
        spectra_.erase(spectra_.begin() + index);
    copy_.active = false;
    ++layout_;
}

void FFTGraph::rebuild() {
    settings_ = FftSettings::fromGraphData(graph_);
    setupRange();
}

void FFTGraph::setupRange() {
    if (!source_) {
        range_ = AnalysisRange{};
        return;
    }
    const PlotFrame f = source_->frame();
    const int capacity = source_->capacity();
    const double samplesPerPixel = 1.0 / (source_->timing().dt * f.scale.x);
    // Doubles until limited to the window: an axis without extent gives infinities or NaN.
    double first = std::trunc((f.p1.x - f.offset.x) * samplesPerPixel);
    double visible = std::ceil((f.p2.x - f.p1.x) * samplesPerPixel);
    first = first > 0.0 ? std::min(first, static_cast<double>(capacity)) : 0.0;
    // Without a usable axis the whole window is analysed.
    visible = visible > 0.0 ? std::min(visible, static_cast<double>(capacity)) : capacity;
    range_ = analysisRange(capacity, static_cast<int>(first), static_cast<int>(visible), settings_);
    const int oldLength = analyser_.transformLength();
    analyser_.setup(range_, settings_);
    // Bins of another transform length belong to other frequencies, and there are fewer of
    // them than the view would now draw: they are gone until the next computation.
    if (analyser_.transformLength() != oldLength) {
        for (std::vector<double>& spectrum : spectra_)
            spectrum.clear();
        ++layout_;
    }
}

void FFTGraph::computeSpectra() {
    if (!source_ || source_->capacity() < 1 || range_.windowLength < 1) {
        regionPass_.assign(graph_.fftRegionList.size(), 1);
        return;
    }
    const int capacity = source_->capacity();
    const std::vector<ChannelTrace>& traces = source_->traces();
    // A window shrunk since the range was taken holds fewer samples; the rest reads as 0.
    const int start = std::min(range_.startIndex, capacity);
    const std::size_t analysed =
        std::min(static_cast<std::size_t>(capacity - start),
                 static_cast<std::size_t>(range_.averages) * range_.windowLength);
    job_.range = range_;
    job_.settings = settings_;
    job_.sampleRate = 1.0 / dt(); // Hz
    job_.regions = graph_.fftRegionList;
    job_.generation = layout_;
    job_.samples.resize(std::min(traces.size(), graph_.channelList.size()));
    for (SampleBuffer& samples : job_.samples)
        samples.resize(analysed);
    copy_ = AnalysedCopy{true, start, analysed, 0};
    copyNextSlice();
}

void FFTGraph::copyNextSlice() {
    copyAnalysed(copy_.copied + copySlice());
    // The next slice comes when the work is collected.
    if (copy_.active)
        server_.workNotice()->post();
}

void FFTGraph::keepAnalysedSamples(int end) {
    if (copy_.active && end > copy_.start)
        copyAnalysed(static_cast<std::size_t>(end - copy_.start));
}

std::size_t FFTGraph::copySlice() const {
    return std::max<std::size_t>(4096,
                                 copySliceValues / std::max<std::size_t>(job_.samples.size(), 1));
}

void FFTGraph::copyAnalysed(std::size_t end) {
    if (!copy_.active)
        return;
    end = std::min(end, copy_.length);
    if (end > copy_.copied) {
        const std::vector<ChannelTrace>& traces = source_->traces();
        for (std::size_t c = 0; c < job_.samples.size(); ++c) {
            const double* first = traces[c].samples.data() + copy_.start;
            std::copy(first + copy_.copied, first + end, job_.samples[c].data() + copy_.copied);
        }
        copy_.copied = end;
    }
    if (copy_.copied == copy_.length) {
        copy_.active = false;
        worker_.submit(job_);
    }
}

void FFTGraph::finishSpectra() {
    copyAnalysed(copy_.length);
    worker_.wait();
    takeFinishedWork();
}

void FFTGraph::takeFinishedWork() {
    if (copy_.active)
        copyNextSlice();
    if (!worker_.take(result_) || result_.generation != layout_)
        return;
    spectra_.swap(result_.spectra);
    regionPass_.swap(result_.regionPass);
    server_.refreshArea(static_cast<int>(std::floor(x1_)), static_cast<int>(std::floor(y1_)),
                        static_cast<int>(std::ceil(x2_ - x1_)),
                        static_cast<int>(std::ceil(y2_ - y1_)));
}
