#pragma once

#include "KLib/Data/DataReaderBase.h"

#include <fstream>
#include <string>

namespace KLib {

// Binary input file, opened at construction. It keeps its size and the read position so that
// readers can compare lengths found in the file against what the file actually holds.
class FileDataReader : public DataReaderBase {
public:
    explicit FileDataReader(const std::string& path);
    ~FileDataReader() override = default;

    bool isOpen() const { return stream_.is_open(); }
    // True after a read that delivered no byte at all; a seek clears it.
    bool endOfFile() const { return endOfFile_; }
    // Size in bytes measured when the file was opened.
    std::int64_t size() const override { return size_; }
    std::int64_t position() const override { return position_; }

    std::size_t read(void* buffer, std::size_t length) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    void close() override;

private:
    std::ifstream stream_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    bool endOfFile_ = false;
};

} // namespace KLib
