#pragma once

#include "files/FileSpaceReserve.h"
#include "files/Hdf5Id.h"
#include "files/WrittenPages.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Writes MATLAB's version 7.3 MAT file, an HDF5 file with MATLAB's header in its 512-byte user
// block, as a stream: structs, text and matrices in call order, and double columns whose length
// is not known in advance, which take samples in blocks while other values and structs follow.
// Memory stays the same however long a column grows.
//
// Names become variables at the top level and fields inside a struct. Every call returns false
// when it did not do its work, and error() says why. When the disk or the file size limit would
// soon be reached, appending stops with that error while room is left to complete the file:
// values and structs still go in and close() ends the columns, so that the file holds every
// sample appended before. Any other failure is sticky: every later call returns false.
// Destroying the writer closes it. If a write fails all the same (the disk filled up by other
// means), the file is left as it was at the last flush() and HDF5 keeps what it could not write
// until the program ends.
class Mat73Writer {
public:
    // Identifies an open column.
    using Column = std::size_t;

    explicit Mat73Writer(const std::string& path);
    ~Mat73Writer();
    Mat73Writer(const Mat73Writer&) = delete;
    Mat73Writer& operator=(const Mat73Writer&) = delete;

    const std::string& error() const { return error_; }

    // Opens a 1 x 1 struct; the values up to endStruct are its fields.
    bool beginStruct(const std::string& name);
    bool endStruct();
    // A 1 x N char array, one 16-bit code unit per byte of text (Latin-1); "" is a 0 x 0 char.
    bool writeText(const std::string& name, const std::string& text);
    // A rows x cols double matrix; values holds rows * cols numbers in column-major order. With
    // no rows or no columns it is an empty matrix of that size.
    bool writeMatrix(const std::string& name, const double* values, std::size_t rows,
                     std::size_t cols);
    // Opens an N x 1 double column, N = 0 until samples are appended.
    bool beginColumn(const std::string& name, Column& column);
    bool append(Column column, const double* values, std::size_t count) {
        return append(std::vector<Column>{column}, std::vector<const double*>{values}, count);
    }
    // Appends `count` samples to each of the columns, values[i] to columns[i]: to all of them,
    // or to none when the disk has no room for them.
    bool append(const std::vector<Column>& columns, const std::vector<const double*>& values,
                std::size_t count);
    bool endColumn(Column column);
    // Writes out what HDF5 holds back, so that a file cut short later by a crash or a full disk
    // still reads as it was here; what was written before the last flush leaves the page cache
    // (see WrittenPages.h).
    bool flush();
    // Ends the open columns and writes everything out. Returns false when any write failed or
    // a struct was still open.
    bool close();

private:
    struct OpenStruct {
        Hdf5Id group;
        std::vector<std::string> fields; // in writing order, for MATLAB_fields
    };
    struct OpenColumn {
        Hdf5Id dataset;
        Hdf5Id parent; // where a column without samples is replaced by an empty value
        std::string name;
        hsize_t length = 0; // samples written
    };

    bool canWrite() const { return file_.valid() && !stopped_; }
    // Makes sure that the file can grow by `bytes` and still keep `keep` bytes for what HDF5
    // writes later; records the disk's refusal otherwise.
    bool haveRoom(hsize_t bytes, hsize_t keep);
    bool writeSamples(OpenColumn& open, const double* values, std::size_t count);
    // The struct or the file root that takes the next value, and the value's name recorded as a
    // field of the open struct.
    hid_t place(const std::string& name);
    bool writeEmpty(hid_t parent, const std::string& name, const char* matlabClass, hsize_t rows,
                    hsize_t cols);
    // Records a failed write: what was being done and HDF5's innermost error. Returns false.
    bool fail(const std::string& what);
    // Records a call out of order, which writes nothing. Returns false.
    bool refuse(const std::string& what);
    // Records that the disk can't take more samples, for the system's reason. Returns false.
    bool stopAppending(int reason);

    std::string path_;
    Hdf5Id file_;
    std::vector<OpenStruct> structs_;
    std::vector<OpenColumn> columns_;
    std::optional<FileSpaceReserve> reserve_;
    WrittenPages writtenPages_;
    std::string error_;    // the first failure or refusal
    bool full_ = false;    // no more samples: the room left is for completing the file
    bool stopped_ = false; // a call was refused or a write failed: nothing more is written
    bool broken_ = false;  // a write failed: HDF5 holds data it can't write
};
