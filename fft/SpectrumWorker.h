#pragma once

#include "config/Config.h"
#include "fft/SpectrumAnalyser.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Leaves new elements uninitialised. A job's sample buffers are filled by a copy in slices
// anyway; zeroing 64 MB of fresh memory at once holds the window up for a fifth of a second,
// nearly all of it page faults, which the slices now take a few at a time.
template <class T> struct UninitialisedAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = UninitialisedAllocator<U>; };
    UninitialisedAllocator() = default;
    template <class U> UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using SampleBuffer = std::vector<double, UninitialisedAllocator<double>>;

// What one computation of a view's spectra needs, copied from the user-interface thread's data:
// per channel the analysed samples (samples beyond those held read as 0).
struct SpectrumJob {
    AnalysisRange range;
    FftSettings settings;
    double sampleRate = 1.0; // Hz
    KLib::Array<FFTRegion> regions;
    std::vector<SampleBuffer> samples; // per channel
    std::uint64_t generation = 0;      // the view's layout the job was made for
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
