#pragma once

#include <complex>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct GraphData;

// The FFT settings of a graph, read from its text fields.
struct FftSettings {
    std::string window = "None"; // window function name, see fftWindowCoefficients
    int averages = 1;            // segments averaged per spectrum, at least 1
    int sizeCap = 0;             // samples, upper limit of the window length; 0 = no limit
    bool logScale = false;       // spectra in dB instead of linear amplitude

    // fftNumAverages and fftSize are read with leadingNumber(); a count below 1 (or not a
    // number) gives 1 average, a size below 1 gives no limit.
    static FftSettings fromGraphData(const GraphData& graph);
};

// The samples a spectrum analyses: averages consecutive segments of windowLength samples from
// startIndex on, each zero-padded to transformLength.
struct AnalysisRange {
    int startIndex = 0;      // first analysed sample of the data window
    int windowLength = 0;    // samples per segment (L)
    int transformLength = 2; // FFT length, a power of two >= windowLength and >= 2 (F)
    int averages = 1;        // number of segments (A)
};

// The range for a data window of capacity samples of which visibleCount samples are visible
// from firstVisible on (firstVisible may be negative or past the end). L = ceil(min(capacity,
// visibleCount) / A), capped by sizeCap. The segments are kept inside the data window: the start
// is clamped to 0 ... capacity - A * L, and to 0 when A * L exceeds the capacity (possible because
// L is rounded up); the samples missing at the end are then read as 0.
AnalysisRange analysisRange(int capacity, int firstVisible, int visibleCount,
                            const FftSettings& settings);

// Amplitude spectra with one FFT plan and its buffers, reused while the window length and the
// window function stay the same: no allocation per spectrum in steady state.
class SpectrumAnalyser {
public:
    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // Prepares window, plan and buffers for range.windowLength samples with settings.window;
    // rebuilds nothing when both are unchanged since the last set-up. The number of averages
    // and the scale are taken over every time.
    void setup(const AnalysisRange& range, const FftSettings& settings);

    int windowLength() const { return windowLength_; }
    int transformLength() const { return transformLength_; }
    // Bins per spectrum, transformLength / 2 + 1; bin j is the frequency j * sampleRate /
    // transformLength (Hz).
    std::size_t spectrumSize() const { return static_cast<std::size_t>(transformLength_) / 2 + 1; }

    // The spectrum of the set-up number of segments of windowLength samples from samples[0] on;
    // samples at count and beyond are read as 0. Each segment's mean is removed before windowing
    // and returned as bin 0, so bin 0 is the mean's magnitude. Linear: the mean over the segments
    // of each bin's amplitude (a sine of amplitude a at a bin frequency gives a). Log: the mean
    // over the segments of 20 * log10(amplitude) in dB (a zero bin gives minus infinity).
    // spectrum is resized to spectrumSize(); it is all zeros when windowLength is 0.
    void compute(const double* samples, std::size_t count, std::vector<double>& spectrum);

private:
    struct Plan;

    int windowLength_ = 0;
    int averages_ = 1;
    bool logScale_ = false;
    int transformLength_ = 2;
    std::string windowName_;
    std::vector<double> window_;                  // windowLength normalised coefficients
    std::vector<double> input_;                   // transformLength windowed samples
    std::vector<std::complex<double>> transform_; // transformLength / 2 packed bins
    std::unique_ptr<Plan> plan_;
};
