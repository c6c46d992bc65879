#pragma once

#include <hdf5.h>

#include <string>

// While one lives, HDF5 records its errors without printing its error stack to stderr; the
// program says what went wrong in its own words instead.
class Hdf5QuietErrors {
public:
    Hdf5QuietErrors();
    ~Hdf5QuietErrors();
    Hdf5QuietErrors(const Hdf5QuietErrors&) = delete;
    Hdf5QuietErrors& operator=(const Hdf5QuietErrors&) = delete;

private:
    H5E_auto2_t printer_ = nullptr;
    void* printerData_ = nullptr;
};

// The description of the innermost error on this thread's HDF5 error stack, for a failed system
// call what failed and the system's reason, or an empty text when the stack is empty.
std::string hdf5ErrorCause();
