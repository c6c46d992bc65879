#pragma once

#include "config/Config.h"
#include "fft/SpectrumAnalyser.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// What one computation of a view's spectra needs, copied from the user-interface thread's data:
// per channel the analysed samples (samples beyond those held read as 0).
struct SpectrumJob {
    AnalysisRange range;
    FftSettings settings;
    double sampleRate = 1.0; // Hz
    KLib::Array<FFTRegion> regions;
    std::vector<std::vector<double>> samples; // per channel
    std::uint64_t generation = 0;             // the view's layout the job was made for
};

struct SpectrumResult {
    std::vector<std::vector<double>> spectra; // per channel
    std::vector<int> regionPass;              // per region, 1 = pass, 0 = fail
    int transformLength = 2;
    std::uint64_t generation = 0;
};

// Computes spectra on a thread of its own, so that a transform of a million points never holds
// up the window. Only the newest job matters: a job submitted while another waits replaces it.
// The buffers of jobs and results go round between the caller and the thread, so that steady
// work allocates nothing.
class SpectrumWorker {
public:
    // finished is called on the worker's thread after each result.
    explicit SpectrumWorker(std::function<void()> finished);
    ~SpectrumWorker(); // waits for the job being computed
    SpectrumWorker(const SpectrumWorker&) = delete;
    SpectrumWorker& operator=(const SpectrumWorker&) = delete;

    // Queues the job; `job` gets back an older job's buffers for the next fill.
    void submit(SpectrumJob& job);
    // The newest result not yet taken, swapped into `result`; false when there is none.
    bool take(SpectrumResult& result);
    // Waits until no job waits or runs.
    void wait();

private:
    void run();

    std::function<void()> finished_;
    std::mutex lock_;
    std::condition_variable changed_;
    SpectrumJob queued_;     // guarded by lock_
    bool jobQueued_ = false; // guarded by lock_
    bool busy_ = false;      // guarded by lock_
    bool stopping_ = false;  // guarded by lock_
    SpectrumResult finishedResult_;
    bool resultReady_ = false; // guarded by lock_
    std::thread thread_;
};
