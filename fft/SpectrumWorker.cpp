#include "fft/SpectrumWorker.h"

#include "fft/FftRegions.h"

#include <utility>

namespace {

void compute(SpectrumAnalyser& analyser, const SpectrumJob& job, SpectrumResult& result) {
    analyser.setup(job.range, job.settings);
    result.spectra.resize(job.samples.size());
    result.regionPass.assign(job.regions.size(), 1);
    for (std::size_t c = 0; c < job.samples.size(); ++c) {
        const SampleBuffer& samples = job.samples[c];
        analyser.compute(samples.data(), samples.size(), result.spectra[c]);
        checkRegions(result.spectra[c].data(), result.spectra[c].size(), analyser.transformLength(),
                     job.sampleRate, job.regions, result.regionPass);
    }
    result.transformLength = analyser.transformLength();
    result.generation = job.generation;
}

} // namespace

SpectrumWorker::SpectrumWorker(std::function<void()> finished)
    : finished_(std::move(finished)), thread_([this] { run(); }) {}

SpectrumWorker::~SpectrumWorker() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SpectrumWorker::submit(SpectrumJob& job) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::swap(job, queued_);
        jobQueued_ = true;
    }
    changed_.notify_all();
}

bool SpectrumWorker::take(SpectrumResult& result) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!resultReady_)
        return false;
    std::swap(result, finishedResult_);
    resultReady_ = false;
    return true;
}

void SpectrumWorker::wait() {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return !jobQueued_ && !busy_; });
}

void SpectrumWorker::run() {
    SpectrumAnalyser analyser;
    SpectrumJob job;
    SpectrumResult result;
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return stopping_ || jobQueued_; });
        if (stopping_)
            return;
        std::swap(job, queued_);
        jobQueued_ = false;
        busy_ = true;
        guard.unlock();
        compute(analyser, job, result);
        guard.lock();
        std::swap(result, finishedResult_);
        resultReady_ = true;
        busy_ = false;
        changed_.notify_all();
        guard.unlock();
        if (finished_)
            finished_();
        guard.lock();
    }
}
