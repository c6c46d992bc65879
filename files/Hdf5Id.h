#pragma once

#include <hdf5.h>

#include <utility>

// Owns one HDF5 identifier (file, group, dataset, dataspace, datatype, attribute or property
// list) and releases it when it goes. An identifier below zero is a failed call's result and
// owns nothing.
class Hdf5Id {
public:
    Hdf5Id() = default;
    explicit Hdf5Id(hid_t id) : id_(id) {}
    Hdf5Id(Hdf5Id&& other) noexcept : id_(std::exchange(other.id_, H5I_INVALID_HID)) {}
    Hdf5Id& operator=(Hdf5Id&& other) noexcept {
        std::swap(id_, other.id_);
        return *this;
    }
    Hdf5Id(const Hdf5Id&) = delete;
    Hdf5Id& operator=(const Hdf5Id&) = delete;
    ~Hdf5Id() { release(); }

    hid_t get() const { return id_; }
    bool valid() const { return id_ >= 0; }
    // Returns false when HDF5 could not finish the release; closing a file writes what it holds.
    bool release() {
        const hid_t id = std::exchange(id_, H5I_INVALID_HID);
        return id < 0 || H5Idec_ref(id) >= 0;
    }

    // Gives the identifier up without releasing it. HDF5 1.10 tears down an object whose release
    // fails (a file or dataset whose cached data can't be written) but keeps its identifier,
    // and releases it again when the library ends, which crashes; such an object is left to
    // that final clean-up alone.
    void abandon() { id_ = H5I_INVALID_HID; }

private:
    hid_t id_ = H5I_INVALID_HID;
};
