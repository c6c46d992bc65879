#pragma once

#include <cstdint>
#include <string>

// How far a long save or load of a data file has come. The main window shows it in a progress
// dialog and handles its pending window events at every report, so that it stays responsive.
class FileProgress {
public:
    virtual ~FileProgress() = default;
    // The task named by title ("Writing MATLAB file", ...) has done this fraction (0...1).
    virtual void showProgress(const std::string& title, double fraction) = 0;
    // The task has ended, completed or not.
    virtual void endProgress() = 0;
};

// Saves of at least this many values, and loads of files of at least 8 bytes per value as
// large, report their progress; smaller ones are over too soon to show any (a 60 s log at
// 100 kS/s holds 6,000,000 values per channel).
constexpr std::uint64_t LargeDataValues = 4000000;

// Reports the progress of one task in units of work (values or bytes) when the whole work is
// large, and ends the report when it goes.
class ProgressMeter {
public:
    // Without a progress display, or for work below `large` units, nothing is reported.
    ProgressMeter(FileProgress* progress, std::string title, std::uint64_t total,
                  std::uint64_t large);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    // That many more units are done.
    void advance(std::uint64_t units) { reach(done_ + units); }
    // The work is done up to this many units.
    void reach(std::uint64_t done);

private:
    FileProgress* progress_; // null when nothing is reported
    std::string title_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
};
