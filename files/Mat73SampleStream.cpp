#include "files/Mat73SampleStream.h"

#include "files/LossTable.h"
#include "files/NameReplacement.h"
#include "signal/Units.h"

#include <algorithm>

Mat73SampleStream::Mat73SampleStream(const std::string& path, Config& config, double rate)
    : writer_(path), dt_(1.0 / rate) {
    int counter = 0;
    for (GraphData& graph : config.graphList) {
        fixGraphName(graph.caption, counter);
        writer_.beginStruct(graph.caption);
        writer_.writeText("fft", graph.fft ? "true" : "false");
        for (ChannelData& channel : graph.channelList) {
            fixChannelName(channel.caption, counter);
            const double color[] = {((channel.color >> 16) & 0xFF) / 255.0,
                                    ((channel.color >> 8) & 0xFF) / 255.0,
                                    (channel.color & 0xFF) / 255.0};
            writer_.beginStruct(channel.caption);
            writer_.beginColumn("data", data_.emplace_back());
            writer_.writeText("unit", unitName(channel.unit));
            writer_.writeMatrix("color", color, 3, 1);
            writer_.endStruct();
        }
        writer_.endStruct();
    }
    writer_.beginColumn("time", time_);
}

bool Mat73SampleStream::append(const std::vector<const double*>& columns, std::size_t rows) {
    times_.resize(rows);
    for (std::size_t k = 0; k < rows; ++k)
        times_[k] = static_cast<double>(written_ + k) * dt_;
    // All columns or none, so that every column and the time keep the same length.
    const std::size_t channels = std::min(columns.size(), data_.size());
    std::vector<Mat73Writer::Column> targets(data_.begin(), data_.begin() + channels);
    std::vector<const double*> values(columns.begin(), columns.begin() + channels);
    targets.push_back(time_);
    values.push_back(times_.data());
    const bool written = writer_.append(targets, values, rows);
    written_ += rows;
    bytes_ += rows * (columns.size() + 1) * sizeof(double);
    return written;
}

bool Mat73SampleStream::close(const std::vector<FrameLoss>& losses) {
    const std::vector<double> table = lossTableValues(losses);
    writer_.writeMatrix("lost", table.data(), losses.size(), 3);
    return writer_.close();
}
