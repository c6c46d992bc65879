#pragma once

#include "KLib/Data/DataReaderBase.h"

#include <vector>

namespace KLib {

// Bytes held in memory, read like a file: an inflated element of a compressed MAT-file, for
// instance.
class MemoryDataReader : public DataReaderBase {
public:
    MemoryDataReader() = default;

    // Replaces the bytes and starts reading them from the beginning.
    void assign(std::vector<unsigned char> bytes);

    std::size_t read(void* buffer, std::size_t length) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    // Drops the bytes.
    void close() override;
    std::int64_t position() const override { return static_cast<std::int64_t>(position_); }
    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    std::vector<unsigned char> bytes_;
    std::size_t position_ = 0;
};

} // namespace KLib
