#include "KLib/Data/ZlibInflater.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace KLib {

struct ZlibInflater::Stream {
    z_stream z{};
};

ZlibInflater::ZlibInflater() : stream_(std::make_unique<Stream>()) {
    failed_ = inflateInit(&stream_->z) != Z_OK;
}

// inflateEnd also copes with a stream whose start failed.
ZlibInflater::~ZlibInflater() {
    inflateEnd(&stream_->z);
}

bool ZlibInflater::needsInput() const {
    return stream_->z.avail_in == 0;
}

void ZlibInflater::feed(const unsigned char* data, std::size_t length) {
    z_stream& z = stream_->z;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(length, std::numeric_limits<uInt>::max()));
}

std::size_t ZlibInflater::produce(unsigned char* out, std::size_t length) {
    if (failed_ || finished_ || length == 0)
        return 0;
    z_stream& z = stream_->z;
    z.next_out = out;
    z.avail_out =
        static_cast<uInt>(std::min<std::size_t>(length, std::numeric_limits<uInt>::max()));
    const uInt before = z.avail_out;
    const int result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_STREAM_END)
        finished_ = true;
    // Z_BUF_ERROR only says that no progress was possible: more input or more room is needed.
    else if (result != Z_OK && result != Z_BUF_ERROR)
        failed_ = true;
    return before - z.avail_out;
}

} // namespace KLib
