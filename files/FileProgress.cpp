#include "files/FileProgress.h"

#include <algorithm>
#include <utility>

ProgressMeter::ProgressMeter(FileProgress* progress, std::string title, std::uint64_t total,
                             std::uint64_t large)
    : progress_(total >= large && total > 0 ? progress : nullptr), title_(std::move(title)),
      total_(total) {
    if (progress_)
        progress_->showProgress(title_, 0.0);
}

ProgressMeter::~ProgressMeter() {
    if (progress_)
        progress_->endProgress();
}

void ProgressMeter::reach(std::uint64_t done) {
    done_ = std::min(done, total_);
    if (progress_)
        progress_->showProgress(title_, static_cast<double>(done_) / static_cast<double>(total_));
}
