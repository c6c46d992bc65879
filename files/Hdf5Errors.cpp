#include "files/Hdf5Errors.h"

Hdf5QuietErrors::Hdf5QuietErrors() {
    H5Eget_auto2(H5E_DEFAULT, &printer_, &printerData_);
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
}

Hdf5QuietErrors::~Hdf5QuietErrors() {
    H5Eset_auto2(H5E_DEFAULT, printer_, printerData_);
}

std::string hdf5ErrorCause() {
    std::string cause;
    // Walking upwards starts at the most specific error; the first description is kept.
    H5Ewalk2(
        H5E_DEFAULT, H5E_WALK_UPWARD,
        [](unsigned, const H5E_error2_t* error, void* text) -> herr_t {
            auto& found = *static_cast<std::string*>(text);
            if (found.empty() && error->desc)
                found = error->desc;
            return 0;
        },
        &cause);
    // A failed system call is described as "file write failed: time = ..., errno = 28, error
    // message = 'No space left on device', buf = ...": what failed and the system's reason are
    // kept, the addresses and sizes are no use to the user.
    const std::string reason = "error message = '";
    const std::size_t start = cause.find(reason);
    const std::size_t end = cause.find('\'', start + reason.size());
    if (start == std::string::npos || end == std::string::npos)
        return cause;
    return cause.substr(0, cause.find(':')) + ": " +
           cause.substr(start + reason.size(), end - start - reason.size());
}
