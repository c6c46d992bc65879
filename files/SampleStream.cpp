#include "files/SampleStream.h"

#include "files/CsvSampleStream.h"
#include "files/Mat73SampleStream.h"
#include "files/MatSampleStream.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

bool isSampleStreamPath(const std::string& path) {
    return endsWith(path, ".csv") || endsWith(path, ".h5") || endsWith(path, ".mat");
}

std::unique_ptr<SampleStream> openSampleStream(const std::string& path, Config& config, double rate,
                                               std::string& error) {
    std::unique_ptr<SampleStream> stream;
    if (endsWith(path, ".csv"))
        stream = std::make_unique<CsvSampleStream>(path, config, rate);
    else if (endsWith(path, ".h5"))
        stream = std::make_unique<Mat73SampleStream>(path, config, rate);
    else if (endsWith(path, ".mat"))
        stream = std::make_unique<MatSampleStream>(path, config, rate);
    else
        error = "Unknown file type of " + path + ": use .csv, .h5 or .mat";
    if (stream && !stream->error().empty()) {
        error = stream->error();
        stream.reset();
    }
    return stream;
}
