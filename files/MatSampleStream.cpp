#include "files/MatSampleStream.h"

#include "files/MatV5Copy.h"
#include "files/StagedFile.h"

MatSampleStream::MatSampleStream(const std::string& path, Config& config, double rate)
    : path_(path), recording_(path, config, rate) {}

bool MatSampleStream::close(const std::vector<FrameLoss>& losses) {
    if (!recording_.close(losses))
        return false;
    const std::string layout = path_ + " is written in MATLAB's 7.3 layout (HDF5)";
    Mat73Source source(path_);
    std::string copyError;
    if (!source.error().empty()) {
        notice_ = layout + ": " + source.error();
    } else if (!fitsMatV5(source)) {
        notice_ = layout + ": its data exceed the 4 GiB a variable of a MATLAB 5 MAT file holds.";
    } else if (!copyToMatV5(source, stagingPath(path_), copyError, progress_) ||
               !commitStaged(path_)) {
        discardStaged(path_);
        notice_ = layout + ": the MATLAB 5 copy could not be written (" + copyError + ").";
    }
    return true;
}
