#pragma once

#include "KLib/Data/DataWriterBase.h"

#include <fstream>
#include <string>

namespace KLib {

// Binary output file, opened at construction; an existing file is truncated. Write errors
// (a full disk, for instance) make write, seek and close report failure from then on.
class FileDataWriter : public DataWriterBase {
public:
    explicit FileDataWriter(const std::string& path);
    ~FileDataWriter() override;

    bool isOpen() const { return stream_.is_open(); }

    bool write(const void* buffer, std::size_t length) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    bool close() override;

private:
    std::ofstream stream_;
};

} // namespace KLib
