#include "files/MatFileSource.h"

#include "KLib/Data/MatlabValues.h"

#include <algorithm>
#include <limits>

MatFileSource::MatFileSource(const std::string& path) : file_(path) {
    if (!readMatDataFile(path, layout_, nullptr, true)) {
        fail("Can't read file " + path + ": it is not a MAT data file or is damaged");
        return;
    }
    // The reader of the layout knows the byte order; so does the header, read again here.
    unsigned char indicator[2] = {};
    if (!file_.isOpen() || file_.seek(126, KLib::SeekStart) != 126 ||
        !file_.readExact(indicator, 2)) {
        fail("Can't read file " + path);
        return;
    }
    file_.setByteSwap(indicator[0] == 'M');
    rows_ = static_cast<std::uint64_t>(layout_.maxLen);
    losses_ = layout_.losses;
}

std::size_t MatFileSource::read(std::size_t rows, const std::vector<double*>& columns) {
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(rows, rows_ - next_));
    if (!error_.empty() || count == 0)
        return 0;
    std::size_t c = 0;
    for (const LoadedGraph& graph : layout_.graphs)
        for (const LoadedChannel& channel : graph.channels)
            if (c < columns.size() && !readValues(channel, next_, count, columns[c++]))
                return 0;
    next_ += count;
    return count;
}

double MatFileSource::progress() const {
    return rows_ == 0 ? 1.0 : static_cast<double>(next_) / static_cast<double>(rows_);
}

bool MatFileSource::readValues(const LoadedChannel& channel, std::uint64_t first, std::size_t count,
                               double* out) {
    const std::uint64_t stored = channel.valuesAt >= 0 ? channel.valueCount : channel.values.size();
    const std::size_t present = static_cast<std::size_t>(
        first >= stored ? 0 : std::min<std::uint64_t>(count, stored - first));
    std::fill(out + present, out + count, std::numeric_limits<double>::quiet_NaN());
    if (channel.valuesAt < 0) {
        std::copy_n(channel.values.begin() + static_cast<std::ptrdiff_t>(first), present, out);
        return true;
    }
    const std::size_t unitBytes = KLib::Matlab::numberBytes(channel.valuesType);
    const auto at =
        static_cast<std::int64_t>(static_cast<std::uint64_t>(channel.valuesAt) + first * unitBytes);
    bytes_.resize(present * unitBytes);
    if (present > 0 &&
        (file_.seek(at, KLib::SeekStart) != at || !file_.readExact(bytes_.data(), bytes_.size())))
        return fail("Can't read the values of " + channel.name + ": the file is cut short");
    KLib::Matlab::decodeNumbers(channel.valuesType, bytes_.data(), present, file_.byteSwap(), out);
    return true;
}
