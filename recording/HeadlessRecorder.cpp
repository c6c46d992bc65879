#include "recording/HeadlessRecorder.h"

HeadlessRecorder::HeadlessRecorder(std::ostream& messages)
    : messages_(messages), acquisition_([this] {
          std::lock_guard<std::mutex> lock(mutex_);
          ++deliveries_;
          delivered_.notify_all();
      }),
      link_(*this) {}

HeadlessRecorder::~HeadlessRecorder() {
    stop();
    link_.disconnect();
}

ConnectResult HeadlessRecorder::connect(Config& config, const std::string& path) {
    config_ = &config;
    return link_.connect(config, path);
}

void HeadlessRecorder::start(const std::vector<SampleTarget*>& targets) {
    link_.sendSelection(*config_);
    feeds_.clear();
    for (std::size_t g = 0; g < targets.size() && g < selection_.graphChannels.size(); ++g)
        feeds_.push_back({targets[g], &selection_.graphChannels[g]});
    acquisition_.beginRecording();
    link_.startRun();
    decoder_.configure(selection_.frameSize, config_->inputSettings.failure_add_value,
                       config_->inputSettings.rate);
    decoder_.resynchronise();
    // The log mode: the reader reads the pipe whatever the graphs hold.
    acquisition_.setRecordingMode(3);
    running_ = true;
}

bool HeadlessRecorder::tick() {
    handOver();
    return !acquisition_.dataPipeFailed();
}

void HeadlessRecorder::stop() {
    if (!running_)
        return;
    handOver();
    stopRecording();
    running_ = false;
}

void HeadlessRecorder::handOver() {
    std::unique_lock<std::mutex> lock(mutex_);
    const int before = deliveries_;
    lock.unlock();
    acquisition_.requestData();
    lock.lock();
    delivered_.wait(lock, [&] { return deliveries_ > before; });
    lock.unlock();
    const int frames =
        selection_.frameSize > 0 ? acquisition_.deliveredBytes() / selection_.frameSize : 0;
    if (frames > 0 && acquisition_.deliveryIsCurrent()) {
        decoder_.decode(acquisition_.transferBuffer(), frames, feeds_);
        decoder_.noteDroppedFrames(acquisition_.droppedBehind());
    }
    acquisition_.releaseTransferBuffer();
}

void HeadlessRecorder::showMessage(const std::string& text) {
    messages_ << text << '\n';
}

int HeadlessRecorder::chooseDevice(const std::vector<std::string>& entries) {
    messages_ << "Several boxes found (" << entries.size()
              << "); name one by its path (see orva-cli scan).\n";
    return -1;
}

void HeadlessRecorder::stopRecording() {
    acquisition_.setRecordingMode(0);
    link_.stopRun();
}

void HeadlessRecorder::selectionSent(const ChannelSelection& selection) {
    selection_ = selection;
    acquisition_.setFrameSize(selection.frameSize);
}
