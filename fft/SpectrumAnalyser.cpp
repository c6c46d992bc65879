#include "fft/SpectrumAnalyser.h"

#include "config/Config.h"
#include "fft/FftWindows.h"

#include <kissfft.hh>

#include <algorithm>
#include <cmath>

namespace {

// Segment counts and lengths beyond these are not meaningful and would overflow the int
// arithmetic of the range and the power-of-two search.
constexpr int maxAverages = 1 << 20;
constexpr int maxWindowLength = 1 << 26; // samples

// The integer at the start of text, limited to lo ... hi; not a number gives lo.
int clampedLeadingInt(const std::string& text, int lo, int hi) {
    const double value = leadingNumber(text);
    if (!(value >= lo))
        return lo;
    return value >= hi ? hi : static_cast<int>(value);
}

} // namespace

// kissfft's real transform of F points runs as a complex transform of F / 2 points.
struct SpectrumAnalyser::Plan {
    explicit Plan(int transformLength)
        : fft(static_cast<std::size_t>(transformLength) / 2, false) {}
    kissfft<double> fft;
};

FftSettings FftSettings::fromGraphData(const GraphData& graph) {
    FftSettings settings;
    settings.window = graph.fftWindow;
    settings.averages = clampedLeadingInt(graph.fftNumAverages, 1, maxAverages);
    settings.sizeCap = clampedLeadingInt(graph.fftSize, 0, maxWindowLength);
    settings.logScale = graph.fftLogScale;
    return settings;
}

AnalysisRange analysisRange(int capacity, int firstVisible, int visibleCount,
                            const FftSettings& settings) {
    AnalysisRange range;
    range.averages = std::clamp(settings.averages, 1, maxAverages);
    const long long available = std::max(0, std::min(capacity, visibleCount));
    long long length = (available + range.averages - 1) / range.averages;
    if (settings.sizeCap > 0 && settings.sizeCap < length)
        length = settings.sizeCap;
    range.windowLength = static_cast<int>(std::min<long long>(length, maxWindowLength));
    range.transformLength = fftTransformLength(range.windowLength);
    const long long lastStart =
        std::max(0LL, static_cast<long long>(capacity) -
                          static_cast<long long>(range.averages) * range.windowLength);
    range.startIndex = static_cast<int>(std::clamp<long long>(firstVisible, 0, lastStart));
    return range;
}

SpectrumAnalyser::SpectrumAnalyser() = default;
SpectrumAnalyser::~SpectrumAnalyser() = default;

void SpectrumAnalyser::setup(const AnalysisRange& range, const FftSettings& settings) {
    averages_ = std::max(range.averages, 1);
    logScale_ = settings.logScale;
    const int length = std::max(range.windowLength, 0);
    if (plan_ && length == windowLength_ && settings.window == windowName_)
        return;
    const int transformLength = fftTransformLength(length);
    if (!plan_ || transformLength != transformLength_) {
        plan_ = std::make_unique<Plan>(transformLength);
        input_.resize(static_cast<std::size_t>(transformLength));
        transform_.resize(static_cast<std::size_t>(transformLength) / 2);
    }
    windowLength_ = length;
    transformLength_ = transformLength;
    windowName_ = settings.window;
    fftWindowCoefficients(windowName_, windowLength_, transformLength_, window_);
}

void SpectrumAnalyser::compute(const double* samples, std::size_t count,
                               std::vector<double>& spectrum) {
    const std::size_t bins = spectrumSize();
    spectrum.assign(bins, 0.0);
    if (windowLength_ < 1 || !plan_)
        return;
    const int averages = averages_;
    const std::size_t length = static_cast<std::size_t>(windowLength_);
    const double half = static_cast<double>(transformLength_ / 2);
    // Linear: each segment adds its amplitude / A. Log: each adds (20 log10 |X| - 20 log10
    // (F / 2)) / A in dB, with 20 log10 |X| computed as 10 log10 |X|^2.
    const double linearScale = 1.0 / (half * averages);
    const double logWeight = 10.0 / averages;
    const double logOffset = 20.0 * std::log10(half) / averages;
    for (int m = 0; m < averages; ++m) {
        const std::size_t first = static_cast<std::size_t>(m) * length;
        const std::size_t present = first < count ? std::min(length, count - first) : 0;
        const double* x = samples + first;
        double sum = 0.0;
        for (std::size_t k = 0; k < present; ++k)
            sum += x[k];
        const double mean = sum / windowLength_;
        for (std::size_t k = 0; k < present; ++k)
            input_[k] = (x[k] - mean) * window_[k];
        for (std::size_t k = present; k < length; ++k)
            input_[k] = -mean * window_[k];
        std::fill(input_.begin() + static_cast<std::ptrdiff_t>(length), input_.end(), 0.0);

        plan_->fft.transform_real(input_.data(), transform_.data());
        // transform_[0] packs bin 0 (real) and bin F / 2 (imaginary). Bin 0 is replaced by the
        // removed mean with the scaling of the other bins (F / 2 per unit amplitude).
        const double nyquist = transform_[0].imag();
        for (std::size_t j = 0; j < bins; ++j) {
            double power;
            if (j == 0)
                power = (mean * half) * (mean * half);
            else if (j == bins - 1)
                power = nyquist * nyquist;
            else
                power = std::norm(transform_[j]);
            if (logScale_)
                spectrum[j] += logWeight * std::log10(power) - logOffset;
            else
                spectrum[j] += std::sqrt(power) * linearScale;
        }
    }
}
