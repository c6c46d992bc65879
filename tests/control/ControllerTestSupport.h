#pragma once

#include "../graph/GraphTestSupport.h"
#include "control/MainController.h"

#include <condition_variable>
#include <mutex>

// A graph that holds `capacity` samples per sweep, like a time graph's data window.
class FakeGraph : public SampleTarget {
public:
    explicit FakeGraph(int capacity) : capacity_(capacity) {}
    void appendSamples(int, const double*, int) override {}
    bool advance(int count) override {
        written = std::min(capacity_, written + count);
        return written == capacity_;
    }
    int written = 0;
    int rebuilds = 0;

private:
    int capacity_;
};

// Graphs of the main window as the controller sees them, with a fixed sweep length.
class FakeBoard : public GraphBoard {
public:
    explicit FakeBoard(int sweepSamples = 1000) : sweepSamples_(sweepSamples) {}

    void recreate(Config& config) override {
        graphs.clear();
        for (std::size_t g = 0; g < config.graphList.size(); ++g)
            graphs.emplace_back(sweepSamples_);
        ++recreations;
    }
    void setLineWidth(int pixels) override { lineWidth = pixels; }
    void rebuildAll() override {
        for (FakeGraph& graph : graphs)
            graph.written = 0;
        ++rebuilds;
    }
    void restartAll() override {
        for (FakeGraph& graph : graphs)
            graph.written = 0;
        ++restarts;
    }
    bool anyOutOfRange() override { return outOfRange; }
    std::vector<SampleTarget*> targets() override {
        std::vector<SampleTarget*> all;
        for (FakeGraph& graph : graphs)
            all.push_back(&graph);
        return all;
    }
    void holdLiveDrawing(bool) override {}
    void refresh() override {}
    void updateDiagnostics(bool) override {}
    void fitAll() override { ++fits; }
    void autoScaleAll() override {}
    GraphTiming timing(int) const override { return GraphTiming{}; }
    int copySamples(int, int, int, double*, int) const override { return 0; }

    std::vector<FakeGraph> graphs;
    int recreations = 0;
    int rebuilds = 0;
    int restarts = 0;
    int fits = 0;
    int lineWidth = 0;
    bool outOfRange = false;

private:
    int sweepSamples_;
};

// Records every effect and hands deliveries of the data thread to the test's thread.
class FakeUI : public MainUI {
public:
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showMessage(const std::string& text, const std::string&) override {
        messages.push_back(text);
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        questions.push_back(text);
        return answerYes;
    }
    int chooseDevice(const std::vector<std::string>&) override { return 0; }
    void setTitle(const std::string& text) override { title = text; }
    void showGraphOptions(bool, bool) override {}
    void showBusy(bool busy) override { this->busy = busy; }
    void startDataTimer() override { dataTimer = true; }
    void stopDataTimer() override { dataTimer = false; }
    void startValueTimer(unsigned) override { valueTimer = true; }
    void stopValueTimer() override { valueTimer = false; }
    void resumeAutoZoom() override {}
    void stopAutoZoomTimer() override {}
    void postDataArrival() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++posted_;
        arrived_.notify_all();
    }
    // The box watcher's reports are not passed on: tests call the controller's handlers.
    void postBoxArrival() override {}
    void postBoxLeft(const std::string&) override {}
    void offerSaveData() override { ++saveOffers; }
    std::string chooseLogFile() override { return logFile; }
    void showProgress(const std::string&, double) override {}
    void endProgress() override {}

    // Runs one data tick and handles its delivery, as the timer and the event loop do.
    void tick(MainController& controller) {
        if (tickUnhandled(controller))
            controller.handleDataArrival();
    }
    // Runs one data tick and waits for its delivery to be posted; false when none came.
    bool tickUnhandled(MainController& controller) {
        std::unique_lock<std::mutex> lock(mutex_);
        const int before = posted_;
        lock.unlock();
        controller.dataTick();
        lock.lock();
        // A tick that ends the recording asks for nothing.
        return arrived_.wait_for(lock, std::chrono::milliseconds(500),
                                 [&] { return posted_ > before; });
    }

    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::string title;
    bool dataTimer = false;
    bool valueTimer = false;
    bool busy = false;
    int saveOffers = 0;
    std::vector<std::string> questions;
    bool answerYes = true; // to every question
    std::string logFile;   // chosen for a log the graphs cannot hold; empty: cancelled

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    int posted_ = 0;
};
