#pragma once

#include "KLib/Object.h"

#include <cstddef>
#include <string>

namespace KLib {

// A byte pipe to the box: the command pipe or the data pipe of a USB device.
class IODevice : public Object {
public:
    // Bytes delivered (0 ... length), or -1 when the transport failed. A read that merely times
    // out returns what it obtained so far, possibly 0.
    virtual int read(void* buffer, int length) = 0;
    // Bytes accepted, or -1 on a time-out or failure.
    virtual int write(const void* buffer, int length) = 0;
    // Discards input that is waiting in the pipe.
    virtual void drain() = 0;
    virtual int close() = 0;

    // Sends the text and one line feed with a single write; true when every byte was accepted.
    bool writeLine(const std::string& text);
    // Reply lines of the box are a few dozen characters; a pipe that keeps sending without a
    // line feed must not make a line grow without end.
    static constexpr std::size_t maxLineLength = 1024;

    // Reads up to a line feed (consumed, not returned), until a read delivers nothing, or until
    // the line holds maxLineLength characters; the bytes after such a cut stay in the pipe. A
    // carriage return is kept. `ended`, when given, tells whether a line feed ended the line,
    // which tells an empty reply line from no reply.
    std::string readLine(bool* ended = nullptr);
};

} // namespace KLib
