#pragma once

#include <cstddef>
#include <memory>

namespace KLib {

// One zlib stream inflated piecewise: the caller feeds compressed bytes as the inflater asks for
// them and takes the inflated bytes in pieces of the size it wants, so that it can check what
// it receives before it allocates for the rest.
class ZlibInflater {
public:
    ZlibInflater();
    ~ZlibInflater();
    ZlibInflater(const ZlibInflater&) = delete;
    ZlibInflater& operator=(const ZlibInflater&) = delete;

    // True when every byte fed so far has been used; feed the next ones then. The bytes must
    // stay valid until they are used.
    bool needsInput() const;
    void feed(const unsigned char* data, std::size_t length);
    // Inflates into out, at most length bytes; returns how many it produced.
    std::size_t produce(unsigned char* out, std::size_t length);
    // The stream's end (and its check sum) has been read.
    bool finished() const { return finished_; }
    // The stream is corrupt or zlib could not start.
    bool failed() const { return failed_; }

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    bool finished_ = false;
    bool failed_ = false;
};

} // namespace KLib
